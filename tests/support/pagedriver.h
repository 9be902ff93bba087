#pragma once

#include "widgets/page.h"
#include "widgets/pageitem.h"
#include "widgets/pagelabel.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tyesbutton.h"

#include <QTest>

namespace nk::test {

// Finding and clicking the widgets of the shown page, as a learner would.
class PageDriver
{
public:
    template <typename W> static W *withTag(Page &page, int tag)
    {
        for (QWidget *w : page.pageWidgets()) {
            auto *typed = qobject_cast<W *>(w);
            const PageItem *item = PageItem::of(w);
            if (typed && item && item->tag() == tag)
                return typed;
        }
        return nullptr;
    }

    template <typename W> static W *firstOf(Page &page)
    {
        for (QWidget *w : page.pageWidgets()) {
            if (auto *typed = qobject_cast<W *>(w))
                return typed;
        }
        return nullptr;
    }

    // The page label at left 136 and this top.
    static QString labelText(Page &page, int top)
    {
        for (QWidget *w : page.pageWidgets()) {
            auto *label = qobject_cast<PageLabel *>(w);
            if (label && !qobject_cast<TArrowLabel *>(w) && label->pos() == QPoint(136, top))
                return label->text();
        }
        return QStringLiteral("<no label>");
    }

    // False when the button is not on the page or cannot be pressed.
    static bool clickButton(Page &page, int tag)
    {
        TYesButton *b = withTag<TYesButton>(page, tag);
        if (!b || !b->isEnabled())
            return false;
        QTest::mouseClick(b, Qt::LeftButton);
        return true;
    }

    static bool clickLink(Page &page, int tag)
    {
        TArrowLabel *l = withTag<TArrowLabel>(page, tag);
        if (!l)
            return false;
        QTest::mouseClick(l, Qt::LeftButton);
        return true;
    }
};

} // namespace nk::test
