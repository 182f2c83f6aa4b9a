// Modal state: what the dialog now on the screen waits for, kept by the program so a test or a
// tool driving it can tell where it stands without reading pixels. Dialogs nest (an error over
// a help page over a screen's own window), so a ModalScope marks its dialog as the open one and
// puts the one under it back when it ends. Kind is the program's own list of dialogs.
//
//   ModalState<Dialog> modal;                            // in the program's state
//   { ModalScope scope(modal, Dialog::kHelp, "help7"); ...loop... }
#pragma once
#include <string>
#include <utility>

namespace ksv::toolkit {

template <typename Kind>
struct ModalState {
  Kind kind{};      // the open dialog; Kind{} when none is open
  std::string key;  // its text key (help page, error text), empty when it has none
  int depth = 0;    // dialogs open now, the nested ones counted
  bool open() const { return depth > 0; }
};

template <typename Kind>
class ModalScope {
 public:
  ModalScope(ModalState<Kind>& state, Kind kind, std::string key)
      : state_(state), outer_kind_(state.kind), outer_key_(std::move(state.key)) {
    state.kind = kind;
    state.key = std::move(key);
    ++state.depth;
  }
  ~ModalScope() {
    state_.kind = outer_kind_;
    state_.key = std::move(outer_key_);
    --state_.depth;
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  ModalState<Kind>& state_;
  Kind outer_kind_;
  std::string outer_key_;
};

}  // namespace ksv::toolkit
