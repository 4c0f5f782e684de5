#pragma once

#include "Game/MissingPicture.h"
#include "Platform/Gfx/Math.h"
#include "Platform/Gfx/Types.h"

#include <list>
#include <memory>

namespace Gfx {
class Texture;
}

// The dust of the film look: a small spot every quarter second and a large one every half
// second, each shown for about 50 ms at a random place of the 1024x768 picture. Drawn with the
// sprite inside the frame pipeline's open batch.
class Dirt {
public:
    struct Spot {
        std::shared_ptr<Gfx::Texture> tex;
        float end = 0.0f; // ms on Game::Time
        Gfx::Rect rc;
        Gfx::Vector3 dst;
    };

    static constexpr const char* kFirstPath = "gfx/common/dirt1.dds";
    static constexpr const char* kSecondPath = "gfx/common/dirt2.dds";
    // The longest step the spots follow, so that a long pause does not burst into spots.
    static constexpr float kMaxStep = 1.0f;

    // Updates, draws and drops the expired spots.
    void Render();
    // Advances the accumulators and the last time to Game::Time and creates the spots that
    // are due.
    void Update();
    void Draw(const Spot& spot);
    // Drops the spots that ended before `now`.
    void RemoveExpired(float now);

    const std::list<Spot>& Spots() const { return spots_; }

    // The two generators shared by every Dirt: a cell 0 to 3 and a real number 0 to 1.
    static int RandomCell();
    static float RandomReal();

private:
    void AddSpot(const char* path, MissingPicture& missing, int cell, float now);

    std::list<Spot> spots_;
    float last_ = -1.0f;
    float small_ = 0.0f;
    float large_ = 0.0f;
    // The spots' pictures, asked for several times a second: a failed one once.
    MissingPicture firstMissing_;
    MissingPicture secondMissing_;
};
