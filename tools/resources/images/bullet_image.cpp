// The enemies' shot. It is drawn tinted yellow (its blue taken away), so it is painted in
// white and warm pinks that become yellow and orange on screen.
#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"

namespace res {

RgbImage DrawBullet() {
    Canvas c(12, 12);
    c.Glow(Circle(6, 6, 3.0f), Rgb8(255, 120, 90), 0.55f, 2.8f);
    c.Fill(Circle(6, 6, 3.9f), Solid(Rgb8(200, 60, 60)));
    c.Fill(Circle(6, 6, 3.1f), Radial(5.2f, 5.2f, 4.0f, Rgb8(255, 255, 255), Rgb8(255, 150, 110)));
    c.Fill(Circle(5.3f, 5.3f, 1.0f), Solid(Rgb8(255, 255, 255)));
    return Flatten(c);
}

}  // namespace res
