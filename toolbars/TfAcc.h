// Accessibility objects of views and item viewers (IAccessible), created
// only when a client asks and the accessibility library is present.
#pragma once

#include <windows.h>

class TTfView;
class TTfItemViewer;
class TTfBaseAccObject;

// Answers WM_GETOBJECT for a view's window; Handled is false when not answered.
LRESULT TfAccHandleGetObject(TTfView* View, WPARAM WParam, LPARAM LParam, bool& Handled);
// The view or viewer is going away: its object answers every call with a failure.
void TfAccDetachView(TTfView* View);
void TfAccDetachViewer(TTfItemViewer* Viewer);
// Runs a viewer's deferred default action (posted through the item's hidden window).
void TfAccDoDefaultActionDeferred(TTfItemViewer* Viewer, WPARAM Flag);
// Number of live accessibility objects.
int TfAccObjectCount();
