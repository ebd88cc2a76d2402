// A table's cells whose text does not fit show it whole as their tool tip,
// before what the model's own tool tip adds; a cell that fits shows the
// model's tool tip alone.
#pragma once

#include <QStyledItemDelegate>

namespace ui {

class CutTextTips : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Whether the cell's text is cut short in `option.rect`.
    bool IsCut(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    // What the cell's tool tip says.
    QString Tip(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    bool helpEvent(QHelpEvent* e, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

}  // namespace ui
