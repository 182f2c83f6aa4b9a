// The camera system. Sections: plan values · start and stop · shots · capture loop · plans ·
// client files.
#include "server/devices/cameras.h"

#include <chrono>
#include <memory>
#include <cstdio>
#include <random>
#include <thread>

#include "protocol/file_util.h"
#include "protocol/record_file.h"

namespace ksv::server {

// ---- plan values -------------------------------------------------------------------------------

SeriesPlan decode_series(int32_t value) {
  SeriesPlan p;
  // int64: the negation of the smallest LongInt does not fit a LongInt.
  std::string digits = std::to_string(-int64_t(value));
  std::string rest = digits;
  if (digits.size() >= 5) {
    p.X = std::stoll(digits.substr(0, digits.size() - 4));
    rest = digits.substr(digits.size() - 4);
  }
  if (rest.size() >= 3) {
    p.Y = std::stoll(rest.substr(0, rest.size() - 2));
    p.Z = std::stoll(rest.substr(rest.size() - 2));
  } else if (rest.size() == 2) {
    p.Z = std::stoll(rest);
  }
  return p;
}

std::optional<std::string> series_frame_name(const std::string& name) {
  // The grabber's name carries an 11-character date prefix, the time at characters 12..19,
  // six characters of its own, and ".jpg".
  if (name.size() < 29) return std::nullopt;
  std::string out = name;
  out.erase(19, 6);
  out.erase(0, 11);
  for (char& c : out)
    if (c == ':') c = '-';
  if (!is_plain_name(out)) return std::nullopt;
  return out;
}

std::string camera_day_dir(int camera, int year, int month, int day) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "kamery/%d/%04d-%02d-%02d", camera, year, month, day);
  return buf;
}

std::string frame_file_name(int hour, int minute, int second) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%02d.jpg", hour, minute, second);
  return buf;
}

// ---- start and stop ----------------------------------------------------------------------------

CameraSystem::CameraSystem(Clock& clock, Log& log, std::string base_dir, TKamery& kamery,
                           const TKalendar& kalendar, AttendanceLink& attendance,
                           FrameGrabber& grabber)
    : clock_(clock),
      log_(log),
      base_(std::move(base_dir)),
      kamery_(kamery),
      kalendar_(kalendar),
      attendance_(attendance),
      grabber_(grabber) {
  if (base_.empty()) base_ = "./";
  if (base_.back() != '/') base_ += '/';
  pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
  auto engine = std::make_shared<std::mt19937_64>(std::random_device{}());
  random_below = [engine](int64_t n) -> int64_t {
    if (n <= 0) return 0;
    return int64_t((*engine)() % uint64_t(n));
  };
}

void CameraSystem::start() {
  for (TKamera& c : cams_) c = TKamera{};
  shot_flag_ = false;
  last_hour_[0] = last_hour_[1] = -1;
  all_off_hour_ = -1;
  first_arrival_.reset();
  for (const char* d : {"kamery", "kamery/0", "kamery/1", "temp"})
    if (!directory_exists(base_ + d)) make_directory(base_ + d);
}

void CameraSystem::start_camera(int n, int32_t interval) {
  if (n < 0 || n >= kCameras) return;
  DateTime now = clock_.now();
  TKamera& c = cams_[n];
  c = TKamera{};
  c.AKTIVNI = 1;
  c.INTERVAL = interval;
  c.ADRESAR.assign(camera_day_dir(n, now.year, now.month, now.day));
  make_directory(base_ + c.ADRESAR.str());  // an existing directory is fine
}

void CameraSystem::stop_camera(int n) {
  if (n >= 0 && n < kCameras) cams_[n].AKTIVNI = 0;
}

// ---- shots -------------------------------------------------------------------------------------

int64_t CameraSystem::elapsed(int n, const DateTime& now) const {
  const TKamera& c = cams_[n];
  return CASOVYROZDIL(uint16_t(c.H), uint16_t(c.M), uint16_t(c.S), uint16_t(c.DD),
                      uint16_t(c.MM), uint16_t(c.RR), uint16_t(now.hour), uint16_t(now.minute),
                      uint16_t(now.second), uint16_t(now.day), uint16_t(now.month),
                      uint16_t(now.year));
}

int CameraSystem::shot(int n, const std::string& wait_name) {
  if (!wait_name.empty()) {
    const int started = start_shot(n, wait_name);
    if (started != kShotStored) return started;
    for (;;) {
      if (std::optional<int> r = shot_result()) return *r;
      pause(100);
    }
  }
  if (n < 0 || n >= kCameras || !cams_[n].AKTIVNI) return kShotNoCamera;
  TKamera& c = cams_[n];
  if (c.ZISK) return kShotBusy;
  DateTime now = clock_.now();
  if (c.DD != now.day || c.MM != now.month || c.RR != now.year) {
    c.ADRESAR.assign(camera_day_dir(n, now.year, now.month, now.day));
    make_directory(base_ + c.ADRESAR.str());
  }
  c.S = now.second;
  c.M = now.minute;
  c.H = now.hour;
  c.DD = now.day;
  c.MM = now.month;
  c.RR = now.year;
  shot_flag_ = true;
  c.ZISK = 1;
  if (!grabber_.grab(n, base_)) picture_missed();
  c.ZISK = 0;
  shot_flag_ = false;
  c.ULOZEN = 1;
  return kShotStored;
}

int CameraSystem::start_shot(int n, const std::string& wait_name) {
  if (waiting_) return kShotBusy;
  if (n < 0 || n >= kCameras || !cams_[n].AKTIVNI) return kShotNoCamera;
  const TKamera remembered = cams_[n];
  const int r = shot(n);
  if (r != kShotStored) return r;
  // A picture asked for by a client: the grabber gets its time, then the picture is handed
  // over. The camera's own rhythm is kept: the shot does not count as one of its frames.
  waiting_ = WaitingShot{n, wait_name, clock_.epoch_seconds(), remembered};
  shot_flag_ = true;  // no other shot may overwrite the picture meanwhile
  return kShotStored;
}

std::optional<int> CameraSystem::shot_result() {
  if (!waiting_) return std::nullopt;
  TKamera& c = cams_[waiting_->n];
  const int64_t waited = clock_.epoch_seconds() - waiting_->started;
  if ((c.ZISK || waited <= kShotWaitSeconds) && waited <= 2 * kShotWaitSeconds)
    return std::nullopt;
  const WaitingShot w = *waiting_;
  waiting_.reset();
  c.S = w.remembered.S;
  c.M = w.remembered.M;
  c.H = w.remembered.H;
  c.DD = w.remembered.DD;
  c.MM = w.remembered.MM;
  c.RR = w.remembered.RR;
  shot_flag_ = false;
  if (c.ZISK) {
    c.ZISK = 0;
    return kShotGrabberLate;
  }
  c.ULOZEN = 0;
  if (!rename_file(base_ + kGrabberPicture, base_ + "temp/" + w.name)) {
    picture_missed();
    return kShotNotMoved;
  }
  missed_ = 0;
  return kShotStored;
}

void CameraSystem::picture_missed() {
  if (++missed_ >= kMissedPicturesForFailure) failure_ = true;
}

// ---- capture loop ------------------------------------------------------------------------------

void CameraSystem::store_single(int n) {
  TKamera& c = cams_[n];
  c.ULOZEN = 0;
  shot_flag_ = false;
  std::string to = base_ + c.ADRESAR.str() + "/" + frame_file_name(c.H, c.M, c.S);
  if (!rename_file(base_ + kGrabberPicture, to)) {
    // The picture stays where it is until the next shot takes or replaces it.
    picture_missed();
    return;
  }
  missed_ = 0;
  log_.line("Ukladam 1 snimek od kamery cislo " + std::to_string(n));
}

void CameraSystem::store_series(int n) {
  TKamera& c = cams_[n];
  c.ULOZEN = 0;
  shot_flag_ = false;
  std::optional<std::vector<DirEntry>> files = list_directory(base_, "*.jpg");
  if (!files) return;
  for (const DirEntry& f : *files) {
    if (f.is_directory) continue;
    std::optional<std::string> name = series_frame_name(f.name);
    if (!name) continue;
    rename_file(base_ + f.name, base_ + c.ADRESAR.str() + "/" + *name);
  }
}

void CameraSystem::capture() {
  // The picture a client waits for must not be stored into the day's folder.
  if (waiting_) return;
  DateTime now = clock_.now();
  for (int n = 0; n < kCameras; ++n) {
    TKamera& c = cams_[n];
    if (!c.AKTIVNI && !c.ZISK) continue;
    if (c.INTERVAL > 0) {
      if (c.ZISK && elapsed(n, now) > kShotWaitSeconds) c.ZISK = 0;
      if (c.ULOZEN) store_single(n);
      if (c.AKTIVNI && !shot_flag_ && !c.ZISK && elapsed(n, now) > c.INTERVAL) shot(n);
    } else if (c.INTERVAL < 0) {
      const int64_t cycle = -int64_t(c.INTERVAL);
      if (c.ZISK &&
          elapsed(n, now) >= int64_t(c.SNIMKU) * c.PRODLEVA / 1000 + cycle + 30) {
        c.ZISK = 0;
        log_.line("Ukladam serii snimku po preruseni z kamery cislo " + std::to_string(n));
        store_series(n);
      }
      if (c.ULOZEN) {
        store_series(n);
        log_.line("Ukladam serii snimku z kamery cislo " + std::to_string(n));
      }
      if (c.AKTIVNI && !shot_flag_ && !c.ZISK && elapsed(n, now) > cycle) shot(n);
    }
  }
}

// ---- plans -------------------------------------------------------------------------------------

void CameraSystem::apply_plans() {
  DateTime now = clock_.now();
  if (!kamery_.POUZIVAT) {
    if (all_off_hour_ != now.hour) {
      all_off_hour_ = now.hour;
      stop_camera(0);
      stop_camera(1);
      log_.line("Vypinam vsechny kamery");
    }
    return;
  }
  all_off_hour_ = -1;
  for (int n = 0; n < kCameras; ++n) {
    if (shot_flag_) break;
    apply_plan(n, now);
  }
}

void CameraSystem::apply_plan(int n, const DateTime& now) {
  TPlanKamer& p = kamery_.PLAN[n];
  const std::string num = std::to_string(n);
  if (last_hour_[n] == now.hour) return;
  if (!p.POUZIVAT) {
    last_hour_[n] = now.hour;
    stop_camera(n);
    log_.line("Vypinam kameru cislo " + num);
    return;
  }
  bool skip_week = false;

  // Arrival rule: the first person of the day starts the camera for a while.
  if (p.POPRICHODU.MINUT != 0) {
    if (first_arrival_) {
      if (CASOVYROZDIL(*first_arrival_, now) > p.POPRICHODU.INTERVAL) {
        if (!p.AKTZMENA.TYDEN) {
          stop_camera(n);
          log_.line("Vypinam kameru po prichodu uzivatele cislo " + num);
        }
        p.AKTZMENA.PRICHOD = 0;
      }
    } else if (attendance_.anybody_present()) {
      first_arrival_ = now;
      last_hour_[n] = now.hour;
      p.AKTZMENA = TPlanKamer::AktZmena{};
      p.AKTZMENA.PRICHOD = 1;
      p.AKTZMENA.ZMENA = 1;
      start_camera(n, p.POPRICHODU.INTERVAL);
      log_.line("Prisel prvni uzivatel - zapinam kameru cislo " + num);
      skip_week = true;
    } else {
      p.AKTZMENA.PRICHOD = 0;
    }
  }

  // Supervisor rule: with a supervising user in, the camera stays off for the hour.
  for (int32_t id : p.VYPINATDOHLED) {
    if (id == 0) continue;
    if (attendance_.user_present(id)) {
      stop_camera(n);
      log_.line("Prisel dohlizejici uzivatel, vypinam kameru cislo " + num);
      p.AKTZMENA = TPlanKamer::AktZmena{};
      p.AKTZMENA.DOHLED = 1;
      p.AKTZMENA.ZMENA = 1;
      last_hour_[n] = now.hour;
      skip_week = true;
      break;
    }
    p.AKTZMENA.DOHLED = 0;
  }

  if (skip_week || last_hour_[n] == now.hour) return;
  apply_week(n, now);
  last_hour_[n] = now.hour;
}

void CameraSystem::apply_week(int n, const DateTime& now) {
  TPlanKamer& p = kamery_.PLAN[n];
  const std::string num = std::to_string(n);
  const int weekday = (now.weekday % 7 + 7) % 7;
  const int32_t v = p.TYDEN[weekday][now.hour % 24];
  const bool holiday = p.SVATEK && kalendar_.is_holiday(now.month, now.day);
  p.AKTZMENA = TPlanKamer::AktZmena{};

  if (v > 0) {
    int64_t interval = v;
    if (p.NAHODNE) interval = interval / 2 + random_below(interval / 2);
    if (holiday) {
      interval = interval * p.SVATEKINTERVAL / 16;
      p.AKTZMENA.SVATEK = 1;
      log_.line("Menim nastaveni kvuli svatku u kamery cislo " + num);
    }
    start_camera(n, int32_t(interval));
    log_.line("Nastavuji kameru cislo " + num + ", interval: " + std::to_string(interval));
  } else if (v < 0) {
    SeriesPlan s = decode_series(v);
    if (p.NAHODNE) s.X = s.X / 2 + random_below(s.X / 2);
    if (holiday) {
      // A holiday factor of 0 would divide by zero: the camera stays off for this hour.
      if (p.SVATEKINTERVAL == 0) {
        stop_camera(n);
        log_.line("Vypinam dle planu kameru cislo " + num);
        return;
      }
      s.X = s.X * 16 / p.SVATEKINTERVAL;
      p.AKTZMENA.SVATEK = 1;
      log_.line("Menim nastaveni svatku u cyklu kamery cislo " + num);
    }
    // A series of no frames (one frame halved by the randomising) has no spacing: off too.
    const int64_t cycle = (s.Y + s.Z) * 60;
    if (s.X <= 0 || cycle > INT32_MAX || s.X > INT32_MAX) {
      stop_camera(n);
      log_.line("Vypinam dle planu kameru cislo " + num);
      return;
    }
    start_camera(n, int32_t(-cycle));
    cams_[n].SNIMKU = int32_t(s.X);
    cams_[n].PRODLEVA = int32_t(s.Y * 60000 / s.X);
    log_.line("Nastavuji cyklus u kamery cislo " + num + ", interval: " + std::to_string(cycle) +
              ", snimku: " + std::to_string(s.X));
  } else {
    stop_camera(n);
    log_.line("Vypinam dle planu kameru cislo " + num);
    return;
  }
  p.AKTZMENA.TYDEN = 1;
  p.AKTZMENA.ZMENA = 1;
}

// ---- client files ------------------------------------------------------------------------------

bool CameraSystem::save_plan(int camera, bool system_in_use, const TPlanKamer& plan) {
  if (camera < 0 || camera >= kCameras) return false;
  TKamery next = kamery_;
  next.POUZIVAT = system_in_use ? 1 : 0;
  next.PLAN[camera] = plan;
  next.PLAN[camera].AKTZMENA = TPlanKamer::AktZmena{};
  if (!write_records<TKamery>(base_ + "kamery.dat", std::vector<TKamery>{next})) return false;
  kamery_ = next;
  return true;
}

bool CameraSystem::write_day_list(int camera, const TDatum& day,
                                  const std::string& out_path) const {
  std::string text;
  std::string dir = base_ + camera_day_dir(camera, day.ROK, day.MES, day.DEN) + "/";
  // A day without frames (or without a directory) is an empty list.
  if (std::optional<std::vector<DirEntry>> files = list_directory(dir, "*.jpg"))
    for (const DirEntry& f : *files)
      if (!f.is_directory) text += f.name + "\n";
  return write_file_atomic(out_path, text.data(), text.size());
}

std::optional<std::string> CameraSystem::frame_path(int camera, const TDatum& day,
                                                    const TCas& time) const {
  if (camera < 0 || camera >= kCameras) return std::nullopt;
  std::string p = base_ + camera_day_dir(camera, day.ROK, day.MES, day.DEN) + "/" +
                  frame_file_name(time.HOD, time.MIN, time.SEC);
  if (!file_exists(p)) return std::nullopt;
  return p;
}

}  // namespace ksv::server
