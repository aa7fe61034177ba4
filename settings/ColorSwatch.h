// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <cstdint>

/// A plain rectangle filled with its colour, without an outline, under a
/// hand cursor. Its colour is the value being edited: 0x00BBGGRR, or a
/// system colour reference 0xFF0000nn drawn in the matching palette colour.
class TColorSwatch final : public QWidget
{
    Q_OBJECT

public:
    explicit TColorSwatch(QWidget *parent = nullptr);

    std::uint32_t Color() const { return FColor; }
    void SetColor(std::uint32_t color);

Q_SIGNALS:
    /// Any mouse button was released over the swatch.
    void mouseUp();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::uint32_t FColor = 0;
};
