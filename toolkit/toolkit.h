// Toolkit: the screen toolkit of a desktop program in one object — texts, buttons with the key
// queue, the list and the windows — wired to one drawing layer and one image slot table.
// A program creates it once after opening the graphics and passes it to its screens.
#pragma once
#include "images/obrazky.h"
#include "toolkit/draw/graph.h"
#include "toolkit/okna.h"
#include "toolkit/opener.h"
#include "toolkit/seznamy.h"
#include "toolkit/texty.h"
#include "toolkit/tlacit.h"
#include "toolkit/trace.h"

namespace ksv::toolkit {

class Toolkit {
 public:
  Toolkit(draw::Graph& graph, images::Obrazky& images)
      : graph(graph),
        images(images),
        texty(graph),
        tlacitka(graph, images, texty),
        seznam(graph, images, texty),
        okna(graph, images, texty, tlacitka, seznam) {}
  Toolkit(const Toolkit&) = delete;
  Toolkit& operator=(const Toolkit&) = delete;

  draw::Graph& graph;
  images::Obrazky& images;
  Texty texty;
  Tlacitka tlacitka;
  Seznam seznam;
  Okna okna;
  // The event trace (KSV_TRACE); off until the program opens it.
  Trace trace;
  // Shows reports and attachments with the desktop's own programs; traced as "open PATH".
  Opener opener{trace};
};

}  // namespace ksv::toolkit
