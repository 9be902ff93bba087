#pragma once

#include <QValidator>

class QPlainTextEdit;

namespace nk {

// Everything the learner types ends up in Windows-1251 files, so the edit
// boxes refuse, at input, any character that code page cannot hold.
class Cp1251Validator : public QValidator
{
    Q_OBJECT
public:
    explicit Cp1251Validator(QObject *parent = nullptr);
    State validate(QString &input, int &pos) const override;

    // The same rule for a multi-line box, which has no validator of its own.
    static void guard(QPlainTextEdit *edit);
};

} // namespace nk
