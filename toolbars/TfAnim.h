// Popup animation: a menu window fades in through a layered window or slides
// in from the side it opened towards, one animation per thread, stepped by
// the menu loop.
#pragma once

#include <windows.h>

// Slide directions.
constexpr unsigned tfadLeft = 1, tfadRight = 2, tfadDown = 4, tfadUp = 8;

void StartAnimation(HWND Wnd, bool Fade, unsigned Direction);
void AnimationStep();
void StopAnimation();
// Stops the running animation when Wnd is 0 or the animated window.
void StopAnimationOf(HWND Wnd);
bool IsAnimating();
bool LayeredWindowsAvailable();
