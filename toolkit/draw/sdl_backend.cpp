// SdlBackend: the real window. The indexed frame is expanded through the palette into a streaming
// texture; keys become the byte codes the programs expect (extended keys as 0 then the second
// code, Ctrl+letter as its place in the alphabet, typed characters as Windows-1250 bytes).
#include <SDL.h>

#include <cstdio>
#include <string_view>
#include <vector>

#include "toolkit/cp1250.h"
#include "toolkit/draw/backend.h"

namespace ksv::draw {
namespace {

class SdlBackend final : public Backend {
 public:
  ~SdlBackend() override { close(); }

  bool open(const std::string& title) override {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
      return false;
    }
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640,
                               480, SDL_WINDOW_RESIZABLE);
    if (!window_) return fail();
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) return fail();
    SDL_RenderSetLogicalSize(renderer_, 640, 480);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 640, 480);
    if (!texture_) return fail();
    rgb_.assign(static_cast<size_t>(640) * 480, 0);
    SDL_StartTextInput();
    return true;
  }

  void close() override {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    if (window_ || renderer_ || texture_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
  }

  void present(const uint8_t* pixels, const Palette& palette) override {
    if (!texture_) return;
    uint32_t lut[256];
    for (int i = 0; i < 256; ++i)
      lut[i] = 0xFF000000u | (uint32_t{palette[i].r} << 16) | (uint32_t{palette[i].g} << 8) |
               palette[i].b;
    for (size_t i = 0; i < rgb_.size(); ++i) rgb_[i] = lut[pixels[i]];
    SDL_UpdateTexture(texture_, nullptr, rgb_.data(), 640 * 4);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

  void pump(InputState& input) override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT: input.close_requested = true; break;
        case SDL_KEYDOWN: key_down(e.key.keysym, input); break;
        case SDL_TEXTINPUT: text_input(e.text.text, input); break;
        case SDL_MOUSEMOTION:
          input.mouse_x = e.motion.x;
          input.mouse_y = e.motion.y;
          break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
          int bit = e.button.button == SDL_BUTTON_LEFT    ? 1
                    : e.button.button == SDL_BUTTON_RIGHT ? 2
                    : e.button.button == SDL_BUTTON_MIDDLE ? 4 : 0;
          if (e.type == SDL_MOUSEBUTTONDOWN)
            input.buttons |= bit;
          else
            input.buttons &= ~bit;
          input.mouse_x = e.button.x;
          input.mouse_y = e.button.y;
          break;
        }
        case SDL_WINDOWEVENT:
          // After an expose the texture still holds the last frame; show it again.
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED && renderer_) {
            SDL_RenderClear(renderer_);
            SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
            SDL_RenderPresent(renderer_);
          }
          break;
        default: break;
      }
    }
  }

  void delay(int ms) override {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
  }
  const char* name() const override { return "sdl"; }

 private:
  bool fail() {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    close();
    return false;
  }

  static void key_down(const SDL_Keysym& k, InputState& input) {
    auto ext = [&](uint8_t code) {
      input.keys.push_back(0);
      input.keys.push_back(code);
    };
    SDL_Keycode sym = k.sym;
    if ((k.mod & KMOD_CTRL) && sym >= SDLK_a && sym <= SDLK_z) {
      input.keys.push_back(static_cast<uint8_t>(sym - SDLK_a + 1));
      return;
    }
    if (sym >= SDLK_F1 && sym <= SDLK_F10) {
      ext(static_cast<uint8_t>(59 + (sym - SDLK_F1)));
      return;
    }
    switch (sym) {
      case SDLK_RETURN:
      case SDLK_KP_ENTER: input.keys.push_back(13); break;
      case SDLK_ESCAPE: input.keys.push_back(27); break;
      case SDLK_BACKSPACE: input.keys.push_back(8); break;
      case SDLK_TAB: input.keys.push_back(9); break;
      case SDLK_HOME: ext(71); break;
      case SDLK_UP: ext(72); break;
      case SDLK_PAGEUP: ext(73); break;
      case SDLK_LEFT: ext(75); break;
      case SDLK_RIGHT: ext(77); break;
      case SDLK_END: ext(79); break;
      case SDLK_DOWN: ext(80); break;
      case SDLK_PAGEDOWN: ext(81); break;
      case SDLK_INSERT: ext(82); break;
      case SDLK_DELETE: ext(83); break;
      default: break;  // printable keys arrive as text input
    }
  }

  // UTF-8 from the window system, in the programs' code page: Czech letters become their 1250
  // bytes; characters 1250 has no byte for (and control characters) are dropped rather than
  // typed as something else.
  static void text_input(const char* utf8, InputState& input) {
    const std::string_view text(utf8);
    for (size_t pos = 0; pos < text.size();) {
      uint32_t cp;
      if (!toolkit::next_utf8(text, pos, cp) || cp < 32 || cp == 127) continue;
      const int b = toolkit::unicode_to_cp1250(cp);
      if (b >= 0) input.keys.push_back(static_cast<uint8_t>(b));
    }
  }

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::vector<uint32_t> rgb_;
};

}  // namespace

std::unique_ptr<Backend> make_sdl_backend() { return std::make_unique<SdlBackend>(); }

}  // namespace ksv::draw
