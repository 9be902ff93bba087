#include "benchwindow.h"

#include "app/wiring.h"
#include "course/basepath.h"
#include "keyboard/keyboardlayout.h"
#include "widgets/messagebox.h"
#include "widgets/page.h"
#include "widgets/pageitem.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tyesbutton.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QThread>
#include <QWindow>

namespace nk::bench {

namespace {

void recordMessage(const QString &text)
{
    BenchWindow::messages().append(text);
}

template <typename W> W *withTag(Page &page, int tag)
{
    for (QWidget *w : page.pageWidgets()) {
        auto *typed = qobject_cast<W *>(w);
        const PageItem *item = PageItem::of(w);
        if (typed && item && item->tag() == tag)
            return typed;
    }
    return nullptr;
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

QStringList &BenchWindow::messages()
{
    static QStringList list;
    return list;
}

BenchWindow::BenchWindow(const QString &programFolder)
{
    // A missing sound server is part of some runs; its warnings are not figures.
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    MessageBox::setHook(&recordMessage);
    m_form = std::make_unique<TMainForm>(BasePath(programFolder));
    Wiring::connect(*m_form);
    m_form->show();
    waitFor([this] { return m_form->windowHandle() && m_form->windowHandle()->isExposed(); }, 5000);
}

BenchWindow::~BenchWindow()
{
    m_form.reset();
    MessageBox::setHook(nullptr);
}

TYesButton *BenchWindow::button(int tag) const
{
    return withTag<TYesButton>(m_form->page(), tag);
}

TArrowLabel *BenchWindow::link(int tag) const
{
    return withTag<TArrowLabel>(m_form->page(), tag);
}

// A press and a release, as a learner's click arrives; the widget may be gone
// after the press when the page it sits on is cleared.
void BenchWindow::click(QWidget *widget, QPoint at)
{
    if (at == QPoint(-1, -1))
        at = widget->rect().center();
    const QPointer<QWidget> guard(widget);
    sendMouse(widget, QEvent::MouseButtonPress, at);
    if (guard)
        sendMouse(guard, QEvent::MouseButtonRelease, at);
}

bool BenchWindow::clickButton(int tag)
{
    TYesButton *b = button(tag);
    if (!b || !b->isEnabled())
        return false;
    click(b);
    return true;
}

bool BenchWindow::clickLink(int tag)
{
    TArrowLabel *l = link(tag);
    if (!l || !l->isEnabled())
        return false;
    click(l);
    return true;
}

bool BenchWindow::clickMenu(const QString &objectName)
{
    QWidget *w = m_form->findChild<QWidget *>(objectName, Qt::FindDirectChildrenOnly);
    if (!w || !w->isEnabled())
        return false;
    click(w);
    return true;
}

void BenchWindow::pressKey(int octave, int pitch)
{
    QWidget *picture = m_form->keyboardPicture();
    sendMouse(picture, QEvent::MouseButtonPress, KeyboardLayout::seed(octave, pitch));
    sendMouse(picture, QEvent::MouseButtonRelease, KeyboardLayout::seed(octave, pitch));
}

bool BenchWindow::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

} // namespace nk::bench
