#pragma once

class QWidget;

namespace lumora {

/// Makes a dialog at least wide enough that window managers need not shorten its title
/// ("Output Setti…s"): the title's width in the title bar's font, plus room for the
/// window's buttons. Call after setWindowTitle.
void keepTitleReadable(QWidget *dialog);

} // namespace lumora
