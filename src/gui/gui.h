// The client's widget toolkit in one include: the widget tree and desktop, every widget kind and
// the .ui loaders. Pure logic: it draws nothing and needs no window.
#pragma once

#include "gui/bar.h"
#include "gui/button.h"
#include "gui/check_box.h"
#include "gui/container.h"
#include "gui/desktop.h"
#include "gui/edit.h"
#include "gui/image.h"
#include "gui/label.h"
#include "gui/layered.h"
#include "gui/list.h"
#include "gui/multi_tracker.h"
#include "gui/text_layout.h"
#include "gui/tracker.h"
#include "gui/ui_loader.h"
#include "gui/widget.h"
#include "gui/window.h"
