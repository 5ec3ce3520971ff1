#include "ui/FocusMark.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace nbk::ui {

namespace {
class FocusMarkStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element != CE_PushButton || !(option->state & State_HasFocus) || !(option->state & State_Enabled))
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(option->palette.color(QPalette::Active, QPalette::Highlight), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(option->rect).adjusted(1, 1, -1, -1), 3, 3);
        painter->restore();
    }
};
}  // namespace

bool drawsFocusMark(const QStyle *style) { return dynamic_cast<const FocusMarkStyle *>(style) != nullptr; }

void installFocusMark()
{
    if (drawsFocusMark(QApplication::style()))
        return;
    QApplication::setStyle(new FocusMarkStyle(QApplication::style()->name()));
}

}  // namespace nbk::ui
