// ksvguidata: renders the button pictures of data/buttons.txt into a guidata directory.
//   ksvguidata LIST OUTDIR      exit 0 on success, 1 on a bad list or a write failure
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "tools/guidata/guidata.h"

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("usage: ksvguidata LIST OUTDIR\n"
                "Renders every button picture named in LIST (see data/buttons.txt) as a BMP in "
                "OUTDIR.\n");
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: ksvguidata LIST OUTDIR\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "ksvguidata: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::vector<ksv::guidata::PictureSpec> list;
  std::string error;
  if (!ksv::guidata::parse_list(text.str(), list, error)) {
    std::fprintf(stderr, "ksvguidata: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  mkdir(argv[2], 0755);
  std::map<std::pair<int, int>, ksv::guidata::CaptionStyle> styles;  // one per picture size
  for (const auto& p : list) {
    const auto size = std::make_pair(p.width, p.height);
    if (!styles.count(size)) styles[size] = ksv::guidata::caption_style(list, p.width, p.height);
    if (!ksv::guidata::render_picture(p, argv[2], error, &styles[size])) {
      std::fprintf(stderr, "ksvguidata: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
