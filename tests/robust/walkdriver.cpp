// The program's window walked through by a learner where the environment
// works against it: it starts, opens the course part page, a level, Step 1
// and the about page, then closes as the learner does. What the learner
// would see is printed: every message box ("message: ...") and the caption
// of the page after each click ("page: ..."), then "closed" once the window
// has agreed to close.
//
//   robust_walkdriver <program folder> [answer]
//
// With "answer", the first question of Step 1 is answered before the about page.

#include "../support/pagedriver.h"
#include "app/application.h"
#include "app/tmainform.h"
#include "app/wiring.h"
#include "course/programclock.h"
#include "steps/step1.h"
#include "widgets/messagebox.h"
#include "widgets/page.h"
#include "widgets/tlevel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmycaption.h"
#include "widgets/tmyedit.h"
#include "widgets/tstep.h"

#include <QLoggingCategory>
#include <QTest>
#include <cstdio>

using namespace nk;

namespace {

void say(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void messageShown(const QString &text)
{
    say(QStringLiteral("message: ") + text);
}

void quietPlatform(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (!text.contains(QLatin1String("propagateSizeHints")) &&
        !text.contains(QLatin1String("XDG_RUNTIME_DIR")))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

void showPage(TMainForm &form)
{
    QCoreApplication::processEvents();
    for (QWidget *w : form.page().pageWidgets()) {
        if (auto *caption = qobject_cast<TMyCaption *>(w)) {
            say(QStringLiteral("page: ") + caption->text());
            return;
        }
    }
    say(QStringLiteral("page: -"));
}

void click(TMainForm &form, QWidget *widget)
{
    if (widget)
        QTest::mouseClick(widget, Qt::LeftButton);
    showPage(form);
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(&quietPlatform);
    Application app(argc, argv);
    if (app.arguments().size() < 2)
        return 2;
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    MessageBox::setHook(&messageShown);
    ProgramClock::setScale(0.001);
    TMainForm form{BasePath(app.arguments().at(1))};
    Wiring::connect(form);
    form.show();
    showPage(form);
    Page &page = form.page();
    click(form, form.findChild<QWidget *>(QStringLiteral("btPart1")));
    click(form, test::PageDriver::withTag<TLevel>(page, 111));
    click(form, test::PageDriver::withTag<TStep>(page, 11));
    click(form, test::PageDriver::withTag<TYesButton>(page, Step1::ConfirmTag));
    if (app.arguments().value(2) == QLatin1String("answer")) {
        if (auto *edit = test::PageDriver::withTag<TMyEdit>(page, TMyEdit::AnswerBoxTag))
            edit->insert(QStringLiteral("тихая"));
        click(form, test::PageDriver::withTag<TMyButton>(page, 1));
    }
    click(form, form.findChild<QWidget *>(QStringLiteral("lbAbout")));
    if (form.close())
        say(QStringLiteral("closed"));
    return 0;
}
