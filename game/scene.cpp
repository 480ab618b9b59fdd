#include "scene.h"

#include "zn_app.h"

bool Scene::isPressed(uint32_t mask) { return theApp.getJoypad(0).test(mask) == 1; }

bool Scene::isEscape() { return theApp.isEscapeTrigger(); }
