#include "widgets/cp1251validator.h"

#include "course/cp1251.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace nk {

Cp1251Validator::Cp1251Validator(QObject *parent) : QValidator(parent) {}

QValidator::State Cp1251Validator::validate(QString &input, int &) const
{
    return Cp1251::canEncode(input) ? Acceptable : Invalid;
}

void Cp1251Validator::guard(QPlainTextEdit *edit)
{
    QObject::connect(edit->document(), &QTextDocument::contentsChange, edit,
                     [edit](int position, int, int added) {
                         if (added <= 0)
                             return;
                         QTextCursor cursor(edit->document());
                         cursor.setPosition(position);
                         cursor.setPosition(position + added, QTextCursor::KeepAnchor);
                         const QString text = cursor.selectedText();
                         QString kept;
                         for (QChar c : text) {
                             if (Cp1251::canEncode(c) || c == QChar::ParagraphSeparator)
                                 kept += c;
                         }
                         if (kept.size() != text.size())
                             cursor.insertText(
                                 kept.replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
                     });
}

} // namespace nk
