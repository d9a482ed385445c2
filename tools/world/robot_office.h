#pragma once
// What the riding clips at the desk share: the desk's places, the chair
// there, seated poses and the feet on the floor.
#include "tools/world/layout.h"
#include "tools/world/robot_clips.h"

namespace world::office {

namespace L = layout;

inline constexpr float kTop = L::kDeskSize.y;
inline constexpr float kEdgeZ = L::kDeskCentre.z + L::kDeskSize.z * 0.5f;

// The chair at the desk (the rider faces north, -Z), swivelled to his left
// by `swivel` degrees and leaning back by `tilt`.
ChairState atDesk(float swivel = 0.0f, float tilt = 0.0f);
ChairState at(sm::Vec3 floor, float swivel = 0.0f, float tilt = 0.0f);

// When the mug and the e-cigarette are in his hand (picked up, put down),
// and where the e-cigarette goes back on the desk.
inline constexpr float kMugPickUp = 57.9f, kMugPutDown = 70.3f;
inline constexpr float kECigPickUp = 77.45f, kECigPutDown = 97.75f;
inline constexpr sm::Vec3 kECigPutDownAt{L::kECigOnDesk.x + 12.0f, L::kECigOnDesk.y, L::kECigOnDesk.z + 3.0f};
// The desk banged, the things on it jumping.
inline constexpr float kBangs[2] = {114.05f, 114.7f};

// A seat's axes in the world: where he faces, his left, up.
sm::Vec3 facing(const sm::Mat4& seat);
sm::Vec3 leftOf(const sm::Mat4& seat);

// Seated, leaning forward by `lean` degrees (back when negative), the back
// twisted to his left by `twist`, tipped to his right by `tip`, the hips
// slid forward on the seat by `slide`.
Pose sit(float lean, float twist = 0.0f, float tip = 0.0f, float slide = 0.0f);
// Both feet flat on the floor in front of the seat: `forward` from the seat's
// centre, `apart` each side; a lift raises a foot off the floor.
void feetDown(Pose& p, const ChairState& chair, const sm::Mat4& seat, float forward = 30.0f, float apart = 13.0f,
              float liftL = 0.0f, float liftR = 0.0f);
// A hand resting on the thigh of its side.
void handOnThigh(Pose& p, const sm::Mat4& seat, Side side);


// A hand's path: keys of its grip point and turn, and how much of the arm
// follows it (1: the grip is exactly there; 0: the arm keeps the body's pose).
class HandTrack {
public:
    void key(float t, sm::Vec3 grip, sm::Quat turn, float weight = 1.0f, float closed = 0.6f);
    // The arm reaching along the track at t (nothing when before or after it).
    void apply(Pose& p, const sm::Mat4& seat, Side side, float t, sm::Vec3 elbow) const;
    bool covers(float t) const { return !curve_.empty() && t >= curve_.start() && t <= curve_.end(); }
    // How far the grip fell short of the track where it held fully, and when.
    float worstMiss() const { return worstMiss_; }
    float worstMissAt() const { return worstMissAt_; }

private:
    Spline curve_;
    sm::Quat last_;
    mutable float worstMiss_ = 0.0f, worstMissAt_ = 0.0f;
};
// Fails the content run when a hand track could not be followed.
void checkReach(ClipFiles& out, const std::string& clip, const HandTrack& track, const char* what);

// The writing hands of the first clips: the left holds the sheet, the right
// writes, each by its weight.
void writingHands(Pose& p, const sm::Mat4& seat, float t, float left, float right);
// A hand laid flat on the desk top (or another surface) at `point`.
void handOnDesk(Pose& p, const sm::Mat4& seat, Side side, sm::Vec3 point, sm::Vec3 fingers, float lift = 0.0f);
// Both hands clasped behind his head, elbows out, by weight.
void handsBehindHead(Pose& p, const sm::Mat4& seat, float weight);
// A hand resting on the chair's arm rest.
void handOnArmrest(Pose& p, const sm::Mat4& seat, Side side);

void writting(ClipFiles& out);
void goToPosters(ClipFiles& out);
void backToCigarette(ClipFiles& out);
void whisky(ClipFiles& out);
void cigarette(ClipFiles& out);
void angry(ClipFiles& out);
void porazenie(ClipFiles& out);

// The rider's last pose of "porazenie" in the world (where "throw" begins)
// and the chair he sat on.
Pose slumpedInWorld();
ChairState shockChair();

} // namespace world::office
