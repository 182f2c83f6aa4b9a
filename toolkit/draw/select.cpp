// make_backend: chooses the display for a program from the environment (KSV_VIDEO, DISPLAY,
// WAYLAND_DISPLAY) and loads the KSV_SCRIPT replay into a headless display.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolkit/draw/backend.h"
#include "toolkit/draw/headless.h"

namespace ksv::draw {

#ifdef KSV_HAVE_SDL
std::unique_ptr<Backend> make_sdl_backend();
#endif

#ifdef KSV_HAVE_SDL
namespace {
bool env_set(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}
}  // namespace
#endif

std::unique_ptr<Backend> make_backend() {
  const char* video = std::getenv("KSV_VIDEO");
  bool want_headless = video && std::strcmp(video, "headless") == 0;
#ifdef KSV_HAVE_SDL
  if (!want_headless && (env_set("DISPLAY") || env_set("WAYLAND_DISPLAY") ||
                         (video && std::strcmp(video, "sdl") == 0)))
    return make_sdl_backend();
#else
  (void)want_headless;
#endif
  auto headless = std::make_unique<HeadlessBackend>();
  if (const char* script = std::getenv("KSV_SCRIPT"); script && *script) {
    if (!headless->load_script(script)) {
      // A replay that cannot run must not pass for one that ran.
      std::fprintf(stderr, "KSV_SCRIPT: %s\n", headless->script_error().c_str());
      std::exit(2);
    }
    // A replayed session ends with its script, as if the user closed the window.
    headless->set_close_at_end(true);
  }
  return headless;
}

}  // namespace ksv::draw
