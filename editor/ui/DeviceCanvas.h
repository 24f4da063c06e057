// The device canvas "KOV_DeviceCanvas": the layer stack drawn to scale
// between the anode and cathode bands, coloured by the colour mode of the
// settings and labelled where there is room; the mouse selects, opens,
// moves and resizes layers, the keyboard walks the stack, and a dropped file
// is opened.
#pragma once

#include "iup.h"

Ihandle* DeviceCanvas_create();
void DeviceCanvas_redraw();

int DeviceCanvas_draw(Ihandle* canvas, float posx, float posy);
int DeviceCanvas_onButton(Ihandle* canvas, int button, int pressed, int x, int y, char* status);
int DeviceCanvas_onMotion(Ihandle* canvas, int x, int y, char* status);
int DeviceCanvas_onDropFiles(Ihandle* canvas, const char* fileName, int number, int x, int y);
int DeviceCanvas_onKeyPress(Ihandle* canvas, int key, int pressed);
