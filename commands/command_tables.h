// The command tables of the libraries, indexed by command number.
#pragma once

#include <array>
#include <cstddef>

#include "runtime/program_image.h"

namespace lyra {

constexpr size_t kCoreCommandCount = 38;
constexpr size_t kUiLibrary1CommandCount = 7;
constexpr size_t kThreadCommandCount = 1;

extern const std::array<CommandFunction, kCoreCommandCount> kCoreCommands;
extern const std::array<CommandFunction, kUiLibrary1CommandCount> kUiLibrary1Commands;
extern const std::array<CommandFunction, kThreadCommandCount> kThreadCommands;

}  // namespace lyra
