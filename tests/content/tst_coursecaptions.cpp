// Headings of the built course as the pages show them: the Step 1 heading of a
// full level shares its line with the note's name picture, so it must end
// before that picture starts.
#include "course/inifile.h"
#include "courseplan.h"
#include "widgets/fonts.h"

#include <QFontMetrics>
#include <QTest>

using namespace nk;

namespace {

constexpr int kCaptionLeft = 136;
constexpr int kNotePictureLeft = 460;

QString notesFile(int level)
{
    return qEnvironmentVariable("NK_PROGRAM_DIR") + QStringLiteral("/levels/") +
           CoursePlan::folder(level) + QStringLiteral("/notes.dat");
}

} // namespace

class TestCourseCaptions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stepOneHeadingClearsNotePicture_data();
    void stepOneHeadingClearsNotePicture();
};

void TestCourseCaptions::stepOneHeadingClearsNotePicture_data()
{
    QTest::addColumn<int>("level");
    for (const LevelPlan &plan : CoursePlan::levels()) {
        if (plan.kind == PlannedKind::Full)
            QTest::addRow("level %d", plan.level) << plan.level;
    }
}

void TestCourseCaptions::stepOneHeadingClearsNotePicture()
{
    QFETCH(int, level);
    const QString caption =
        IniFile(notesFile(level)).readString(QStringLiteral("step"), QStringLiteral("name"), {});
    QVERIFY2(!caption.isEmpty(), qPrintable(notesFile(level)));
    const QFontMetrics metrics(Fonts::arial(Fonts::pointsToPixels(12), true));
    const int right = kCaptionLeft + metrics.horizontalAdvance(caption);
    QVERIFY2(right < kNotePictureLeft,
             qPrintable(QStringLiteral("\"%1\" ends at %2").arg(caption).arg(right)));
}

QTEST_MAIN(TestCourseCaptions)
#include "tst_coursecaptions.moc"
