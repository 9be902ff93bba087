#pragma once

#include "course/basepath.h"

#include <QString>

namespace nk {

// One question of the questionnaire, its texts as the file holds them ("&"
// not yet turned into line breaks).
struct Question
{
    QString name;
    QString body;
    QString before;
    QString after;
};

// levels\questions.dat, the questionnaire of learning a note, one for all levels.
class QuestionFile
{
public:
    explicit QuestionFile(const BasePath &base);

    static QString fileName() { return QStringLiteral("levels\\questions.dat"); }

    // The file's sections minus two.
    int QuestionLimit() const;
    // How many questions are asked: q1 always, then up to the limit.
    int askedCount() const;
    Question question(int k) const;

private:
    BasePath m_base;
};

} // namespace nk
