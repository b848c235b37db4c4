#include "platform/colors.h"

#include <QApplication>
#include <QPalette>

QColor vbColor(uint32_t bgr)
{
    if (bgr & 0x80000000u) {
        const QPalette pal = QApplication::palette();
        switch (bgr & 0xFF) {
        case 0x0F: return pal.color(QPalette::Button);      // button face
        case 0x07: return pal.color(QPalette::WindowText);  // menu text
        case 0x08: return pal.color(QPalette::WindowText);  // window text
        case 0x05: return pal.color(QPalette::Base);        // window background
        default: return pal.color(QPalette::Window);
        }
    }
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
