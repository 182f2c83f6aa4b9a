// The SDL2 window's input translation, on SDL's dummy video driver (no display needed): keys as
// the programs expect them, typed text as Windows-1250 bytes, mouse buttons as bits, the close
// request.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "toolkit/draw/backend.h"

namespace ksv::draw {
std::unique_ptr<Backend> make_sdl_backend();

namespace {

struct SdlKeys : ::testing::Test {
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    backend = make_sdl_backend();
    if (!backend->open("test")) GTEST_SKIP() << "SDL dummy video driver not available";
  }
  void key(SDL_Keycode sym, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
  }
  void text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
    SDL_PushEvent(&e);
  }
  std::vector<uint8_t> keys() {
    backend->pump(in);
    std::vector<uint8_t> v(in.keys.begin(), in.keys.end());
    in.keys.clear();
    return v;
  }
  std::unique_ptr<Backend> backend;
  InputState in;
};

TEST_F(SdlKeys, ExtendedControlAndTypedKeys) {
  key(SDLK_F1);
  key(SDLK_UP);
  key(SDLK_INSERT);
  key(SDLK_c, KMOD_LCTRL);
  key(SDLK_RETURN);
  key(SDLK_ESCAPE);
  key(SDLK_a);  // a plain letter comes as text, not as a key press
  // "a", e acute, c and r with caron, the euro sign: their Windows-1250 bytes; a snowman has
  // no byte there and is dropped rather than typed as something else.
  text("a\xc3\xa9\xc4\x8d\xc5\x99\xe2\x82\xac\xe2\x98\x83");
  EXPECT_EQ(keys(), (std::vector<uint8_t>{0, 59, 0, 72, 0, 82, 3, 13, 27, 'a', 0xE9, 0xE8, 0xF8,
                                          0x80}));
}

TEST_F(SdlKeys, MouseButtonsAndClose) {
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_RIGHT;
  e.button.x = 30;
  e.button.y = 40;
  SDL_PushEvent(&e);
  backend->pump(in);
  EXPECT_EQ(in.buttons, 2);
  EXPECT_EQ(in.mouse_x, 30);
  e.type = SDL_MOUSEBUTTONUP;
  SDL_PushEvent(&e);
  SDL_Event q{};
  q.type = SDL_QUIT;
  SDL_PushEvent(&q);
  backend->pump(in);
  EXPECT_EQ(in.buttons, 0);
  EXPECT_TRUE(in.close_requested);
}

}  // namespace
}  // namespace ksv::draw
