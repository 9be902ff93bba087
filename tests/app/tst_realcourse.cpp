#include "app/coursepages.h"
#include "app/tmainform.h"
#include "app/wiring.h"
#include "course/levels.h"
#include "course/stepmap.h"
#include "widgets/messagebox.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tlevel.h"
#include "widgets/tstep.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

namespace {

QStringList g_messages;
void recordMessage(const QString &text)
{
    g_messages.append(text);
}

// The course files the list pages read, and the pictures they show; the
// notes, sounds and other content stay behind.
bool copyCourse(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(from).relativeFilePath(path);
        const bool wanted = relative.startsWith(QLatin1String("pictures/")) ||
                            relative.startsWith(QLatin1String("levels/part")) ||
                            relative.endsWith(QLatin1String("/level.dat"));
        if (!wanted)
            continue;
        if (!QDir().mkpath(QFileInfo(to + u'/' + relative).absolutePath()) ||
            !QFile::copy(path, to + u'/' + relative))
            return false;
    }
    return true;
}

int listedPositions(int level)
{
    int count = 0;
    for (int position = 1; position <= 5; ++position) {
        if (StepMap::target(level, position) != StepTarget::None)
            ++count;
    }
    return count;
}

} // namespace

class TestRealCourse : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { MessageBox::setHook(nullptr); }
    void partPages_data();
    void partPages();
    void levelPages_data();
    void levelPages();

private:
    void checkTexts();
    template <typename T> QList<T *> widgets() const;

    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_form;
};

void TestRealCourse::initTestCase()
{
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    QVERIFY2(QFile::exists(program + QStringLiteral("/levels/part1.dat")),
             "the default course is built beside the program");
    QVERIFY(m_dir.isValid());
    QVERIFY(copyCourse(program, m_dir.path()));
    MessageBox::setHook(&recordMessage);
    m_form = std::make_unique<TMainForm>(BasePath(m_dir.path()));
    Wiring::connect(*m_form);
}

template <typename T> QList<T *> TestRealCourse::widgets() const
{
    QList<T *> found;
    for (QWidget *w : m_form->page().pageWidgets()) {
        if (auto *item = qobject_cast<T *>(w))
            found.append(item);
    }
    return found;
}

void TestRealCourse::checkTexts()
{
    const QList<PageLabel *> labels = widgets<PageLabel>();
    QVERIFY(!labels.isEmpty());
    for (const PageLabel *label : labels) {
        QVERIFY2(!label->text().contains(QStringLiteral("НЕТ НАСТРОЕК")) &&
                     !label->text().contains(QStringLiteral("нет данных")),
                 qPrintable(label->text()));
    }
    QVERIFY(g_messages.isEmpty());
}

void TestRealCourse::partPages_data()
{
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("levels");
    QTest::newRow("I") << 1 << 9;
    QTest::newRow("II") << 2 << 9;
    QTest::newRow("III") << 3 << 9;
    QTest::newRow("IV") << 4 << 1;
}

void TestRealCourse::partPages()
{
    QFETCH(int, part);
    QFETCH(int, levels);
    m_form->routes().showPartPage(part);
    checkTexts();
    QCOMPARE(widgets<TLevel>().size(), levels);
    for (PagePicture *picture : widgets<PagePicture>())
        QVERIFY2(!picture->pixmap().isNull(), "every picture of the page loads");
}

void TestRealCourse::levelPages_data()
{
    QTest::addColumn<int>("level");
    for (int level = 1; level <= Levels::Count; ++level)
        QTest::addRow("%d", level) << level;
}

void TestRealCourse::levelPages()
{
    QFETCH(int, level);
    m_form->routes().showLevelPage(level);
    checkTexts();
    QCOMPARE(m_form->state().Settings.Level, level);
    // Every listed step leads somewhere, and every exercise of the level is listed.
    QCOMPARE(widgets<TStep>().size(), listedPositions(level));
    // The current step's arrow, the statistics and the settings links' arrows.
    QCOMPARE(widgets<PagePicture>().size(), 3);
    for (const PagePicture *picture : widgets<PagePicture>())
        QVERIFY(!picture->pixmap().isNull());
}

QTEST_MAIN(TestRealCourse)
#include "tst_realcourse.moc"
