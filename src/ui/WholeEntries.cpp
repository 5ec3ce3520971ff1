#include "ui/WholeEntries.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace nbk::ui {

void keepEntriesWhole(QComboBox *list)
{
    if (!list)
        return;
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list->view()->setTextElideMode(Qt::ElideNone);
    // the layout honours the minimum, not the wish: make the longest entry the minimum
    const auto follow = [list] { list->setMinimumWidth(list->sizeHint().width()); };
    QAbstractItemModel *model = list->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, list, follow);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, list, follow);
    QObject::connect(model, &QAbstractItemModel::modelReset, list, follow);
    QObject::connect(model, &QAbstractItemModel::dataChanged, list, follow);
    QObject::connect(list, &QComboBox::currentTextChanged, list, &QWidget::setToolTip);
}

void boundPopup(QComboBox *list, int visible)
{
    if (!list)
        return;
    list->setMaxVisibleItems(visible);
    // the style's own full-length popup ignores the bound; this property turns it off
    list->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

}  // namespace nbk::ui
