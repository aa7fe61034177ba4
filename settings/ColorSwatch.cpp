// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColorSwatch.h"

#include "ColorValue.h"

#include <QMouseEvent>
#include <QPainter>

TColorSwatch::TColorSwatch(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(126, 22);
    setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::SetColor(std::uint32_t color)
{
    FColor = color;
    update();
}

void TColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ColorFromValue(FColor, palette()));
}

void TColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        Q_EMIT mouseUp();
}
