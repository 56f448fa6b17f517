#pragma once
// The busy cursor of long work (an import, an export, a save that rewrites
// a large database): shown over the program's windows for as long as a
// BusyCursor lives. A question or a message shown meanwhile keeps the
// ordinary cursor over it through an IdleCursor.
namespace zenfaro {

class BusyCursor {
 public:
  // Nothing changes when `busy` is false.
  explicit BusyCursor(bool busy = true);
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool set_;
};

// The ordinary cursor while it lives, when a busy cursor is shown.
class IdleCursor {
 public:
  IdleCursor();
  ~IdleCursor();
  IdleCursor(const IdleCursor&) = delete;
  IdleCursor& operator=(const IdleCursor&) = delete;

 private:
  bool set_ = false;
};

}  // namespace zenfaro
