// Where a drive window opens, judged when its window is made (m_cascadePending).
#pragma once

enum WindowCascade {
    kNoCascade = 0,              // the layout reader places it
    kCascadeFromSameClass = 1,   // it has a saved place: moved only off another of its class
    kCascadeFromLastOpened = 2,  // no saved place: down and right of the last opened window
};
