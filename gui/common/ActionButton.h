#pragma once
// A push button that runs an action: a click triggers it and its enabled state follows the
// action's. The button keeps its own text (a button and a menu item may word one command apart).
#include <QString>

class QAction;
class QPushButton;
class QWidget;

QPushButton* MakeActionButton(const QString& text, QAction* action, const QString& objectName, QWidget* parent);
