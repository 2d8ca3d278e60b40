#pragma once

class QLabel;

namespace zelvano {

// A big result label speaks its shown text to a screen reader: its
// accessible name stays the text (a label's default), and `objectName`
// becomes its accessible description so tools can still find it.
void makeResultLabel(QLabel* label);

// Tells assistive tools that the label now shows a new result, once the
// roll has stopped (never for the passing values of a roll).
void announceResult(QLabel* label);

} // namespace zelvano
