#include "trainingrig.h"

#include "app/coursepages.h"
#include "course/levels.h"
#include "keyboard/keyboardlayout.h"
#include "steps/trainingpages.h"
#include "widgets/page.h"

#include <QTest>

namespace nk::test {

void TrainingRig::openTraining(int level)
{
    m_form->course().ShowLevelPage(level);
    m_form->course().OpenStep(level, Levels::trainingStep(level));
}

void TrainingRig::pressKey(int octave, int pitch)
{
    QTest::mousePress(m_form->keyboardPicture(), Qt::LeftButton, {},
                      KeyboardLayout::seed(octave, pitch));
}

bool TrainingRig::comparisonShown() const
{
    return m_form->page().findByName(TrainingPages::cardPictureName()) != nullptr;
}

} // namespace nk::test
