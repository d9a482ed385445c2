#pragma once
// The credits hand ("credits_dance_hand"): a big mechanical hand on a
// telescopic boom that hangs from the hoist of the gantry crane's trolley
// over the stage. It sweeps the greetings out in the air (HandDance says
// when and where), carries the greeting windows on the int step property
// "credits_visible" of its mesh "credits_hand", and the hidden helper
// "hand_axis" whose positions at each window's open and close place the
// greeting. The first three submeshes are the helpers, which the show hides.
namespace content {
class Staging;
}

namespace world {

class HandDance;

void writeCreditsHand(content::Staging& staging, const HandDance& dance);

} // namespace world
