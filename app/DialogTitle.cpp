#include "DialogTitle.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace lumora {

void keepTitleReadable(QWidget *dialog)
{
    // Title bars use a larger, bold font than the dialog; what they need beside the title
    // (icon, close, maximise) is about 160 pixels on the common themes.
    QFont titleFont = dialog->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    const int needed = QFontMetrics(titleFont).horizontalAdvance(dialog->windowTitle()) + 160;
    dialog->setMinimumWidth(std::max(dialog->minimumWidth(), needed));
}

} // namespace lumora
