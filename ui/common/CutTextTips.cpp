#include "ui/common/CutTextTips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace ui {

bool CutTextTips::IsCut(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    if (o.text.isEmpty())
        return false;
    const QWidget* widget = o.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The room the style leaves the text, less the margins it draws it in.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &o, widget);
    return o.fontMetrics.horizontalAdvance(o.text) > room.width() - 2 * margin;
}

QString CutTextTips::Tip(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString tip = index.data(Qt::ToolTipRole).toString();
    if (!IsCut(option, index))
        return tip;
    const QString text = index.data(Qt::DisplayRole).toString();
    if (QString(tip).replace(u'\n', u' ').contains(text))
        return tip;
    return tip.isEmpty() ? text : text + u'\n' + tip;
}

bool CutTextTips::helpEvent(QHelpEvent* e, QAbstractItemView* view, const QStyleOptionViewItem& option,
                            const QModelIndex& index)
{
    if (e->type() != QEvent::ToolTip || !index.isValid() || !view)
        return QStyledItemDelegate::helpEvent(e, view, option, index);
    const QString tip = Tip(option, index);
    const QRect cell = view->visualRect(index);
    // Gone as the pointer leaves the cell.
    QToolTip::showText(e->globalPos(), tip, view, QRect(view->viewport()->mapTo(view, cell.topLeft()), cell.size()));
    e->setAccepted(!tip.isEmpty());
    return true;
}

}  // namespace ui
