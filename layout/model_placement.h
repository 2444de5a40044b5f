// Bridge and buffer-stop models on their tracks, and duplicate models.
//
// A bridge (name beginning "..\Bruecken") belongs to the first track, in
// array order, whose rounded midpoint has the model's x and y and whose
// start direction equals the model's direction. A buffer stop (name
// beginning "..\Prellbock") belongs to the first single-ended track whose
// buffer-stop position has the model's x and y and whose end direction
// equals the model's direction. Models are linked in array order, so a later
// model that matches an already linked track takes it over. Float
// components compare as values (+0.0 equals -0.0) and a NaN on either side
// counts as equal; z takes no part.
//
// Both linking and duplicate removal run in expected linear time: candidates
// are hashed by the components that take part in a comparison, one bucket
// family per pair of NaN patterns, and each model makes a fixed number of
// look-ups. Only tracks on a spot (x, y) where a model of the kind stands,
// and only models that share their spot with another, enter an index. The results are those of comparing every model
// with every track (or every earlier model) in array order.
#pragma once

#include <vector>

#include "layout/layout.h"

namespace railfmt {

// Clears every track's link, then links bridges and buffer stops.
void LinkModelsToTracks(CAnlage& layout);

// Moves every linked model to its track: a buffer stop to the track's
// buffer-stop position facing its end direction, a bridge to the rounded
// midpoint of its track (height included) facing its start direction.
void PlaceLinkedModels(CAnlage& layout);

// Same position, same direction (float rules above) and the same name, byte
// for byte. Numbers and the carried values do not count.
bool ModelsEqual(const CAnlagenModell& a, const CAnlagenModell& b);

// A model removed as the duplicate of a kept one (indices into Models).
struct DuplicateModel {
  int removed;
  int kept;
};

// Removes every numbered model that equals an earlier numbered model that
// was itself kept: the later model gets Number 0 and the tracks linked to it
// lose their link. A model that only shares a number with another is kept.
// Returns the removed models in array order, each with the first kept model
// it equals.
std::vector<DuplicateModel> RemoveDuplicateModels(CAnlage& layout);

}  // namespace railfmt
