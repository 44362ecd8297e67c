// Widgets that screen readers need to see as something Qt has no widget for: the countdown's
// frame as a progress bar named 経過時間 (its value the share of the question's time used so
// far, how far the red bar has filled, 0 to 100), and the announcer, a notification that
// readers speak when it shows.
#pragma once

#include <QWidget>

namespace rekendo {

// Makes Qt describe a widget named "countdownFrame" this way, its bar being the sibling
// named "countdownBar", and one named "announcer" as a notification whose name is its
// accessible name. Safe to call more than once. No event goes out at each second (a
// reader would speak the bar over the problem); the value is read when asked for, and the
// seconds label announces 10 and 0.
void InstallAccessibleWidgets();

}  // namespace rekendo
