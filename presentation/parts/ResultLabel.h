#pragma once

class QFont;
class QLabel;

namespace zelvano
{

// A big result label speaks its shown text to a screen reader: its
// accessible name stays the text (a label's default), and `objectName`
// becomes its accessible description so tools can still find it.
void makeResultLabel(QLabel* label);

// Tells assistive tools that the label now shows a new result, once the
// roll has stopped (never for the passing values of a roll).
void announceResult(QLabel* label);

// Gives the label `font`, then wraps its text at `width` and, when it does
// not fit `width` x `height`, the largest whole point size down to
// `minimumPointSize` that does. The label takes the size its text needs;
// where it goes is left to the caller.
void fitLabelText(QLabel* label, const QFont& font, int width, int height,
                  double minimumPointSize = 12);

} // namespace zelvano
