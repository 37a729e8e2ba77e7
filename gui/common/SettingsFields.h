#pragma once
// Number edits of the graph settings dialogs, checked the way dialog data exchange checks them: a
// field that is not a number, or a number outside its bounds, gets the framework's message, takes
// the focus and keeps the dialog open.
#include <QString>

class QLineEdit;
class QWidget;

// A field filled by a button (a file or folder chooser), not by typing: read-only, and looking so.
void MakeReadOnlyField(QLineEdit* edit);

// The edit's number in value; false (after the message) when it holds none.
bool ExchangeNumber(QWidget* dialog, QLineEdit* edit, float& value);
// As above, and the number must lie within min .. max.
bool ExchangeNumberInRange(QWidget* dialog, QLineEdit* edit, double min, double max, float& value);
// The text an edit shows for a value ("%g").
QString NumberText(double value);
// Strict parse of a whole field as a number (blanks around it allowed).
bool ParseNumber(const QString& text, double& value);
