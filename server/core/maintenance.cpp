// The maintenance pass run after every serve round: the restart request and the restart file,
// the offer of waiting messages to idle sessions, the daily flags and the nightly cleaning, and
// the camera plan.
#include "protocol/file_util.h"
#include "server/core/device_handlers.h"
#include "server/core/server.h"

namespace ksv::server {

void Server::maintenance_pass() {
  if (restart_request_) stop_ = true;
  DateTime now = clock_.now();

  // The restart file and message delivery are checked on every pass: a stat per pass is cheap,
  // and a restart or a message then waits for no more than one pause.
  if (file_exists(tree_.path("restart"))) {
    stop_ = true;
    log_.line("Server KSV db se restartuje ...");
    return;
  }
  if (units_)
    for (int slot = 0; slot < kMaxSessions; ++slot) {
      TKlient& k = sessions_[slot];
      if (k.in_use.load(std::memory_order_acquire) && k.logged_in() && k.nothing_to_send &&
          k.message_in_delivery.empty())
        units_->offer_message(slot);
    }

  if (now.hour == 23 && now.minute < 4) daily_ = DailyFlags{};
  if (now.hour == 0) nightly_cleaning(now);

  if (units_) units_->camera_maintenance();
}

// One cleaning per pass, in a fixed order, each once per night. "temp" holds the transfer files
// of open sessions, so it is only emptied while nobody is connected.
void Server::nightly_cleaning(const DateTime& now) {
  if (!daily_.cameras) {
    daily_.cameras = true;
    log_.line("Probiha cisteni zaznamu kamer ...");
    for (TPlanKamer& plan : tree_.kamery.PLAN) plan.AKTZMENA = TPlanKamer::AktZmena{};
    if (units_) units_->new_day();
    tree_.clean_camera_days(now);
    return;
  }
  if (!daily_.temp && session_count_ == 0) {
    daily_.temp = true;
    log_.line("Probiha cisteni TEMP adresare ...");
    tree_.clean_temp();
    return;
  }
  if (!daily_.log) {
    daily_.log = true;
    log_.line("Probiha cisteni LOG souboru ...");
    tree_.clean_logs(now);
    return;
  }
  if (!daily_.attendance) {
    daily_.attendance = true;
    log_.line("Probiha cisteni zaznamu dochazky ...");
    tree_.clean_attendance(now);
  }
}

}  // namespace ksv::server
