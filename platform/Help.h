// The help engine: shows a help file at a topic in a viewer window beside the
// program's windows, without blocking them. The engine can be replaced, so
// tests can record its calls or make it fail to start.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Types.h"

class QWidget;

namespace platform {

// Asks the engine for help: pOwner is the asking top-level window, nCommand
// HELP_CONTEXT with the topic's context number in dwData. FALSE when the
// engine cannot be started (or does not know the command). A missing file or
// topic is the viewer's to report, not a failure of the engine.
BOOL WinHelp(QWidget* pOwner, const std::string& helpFile, UINT nCommand, std::uintptr_t dwData);

using HelpEngine =
    std::function<BOOL(QWidget* pOwner, const std::string& helpFile, UINT nCommand, std::uintptr_t dwData)>;

// Installs a replacement (an empty one restores the help viewer); returns the previous one.
HelpEngine SetHelpEngine(HelpEngine engine);

}  // namespace platform
