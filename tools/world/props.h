#pragma once
// The props: the flying chair, the sliding doors, the mug and the
// e-cigarette, each a geometry with its animation. The mug, the e-cigarette
// and the flying chair are keyed from the robot's evaluated performance so
// they stay in his hand.
namespace content {
class Staging;
}

namespace world {

class Performance;

void writeProps(content::Staging& staging, Performance& robot);

} // namespace world
