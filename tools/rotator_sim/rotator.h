#pragma once
// The rotator simulator's antenna rotator: it turns at a steady speed between 0 and 360 degrees.
// Like most rotators it has its end stop at north and never turns through it, so from 350 to 10
// degrees it turns the long way round.
namespace tools {

class Rotator {
  public:
    Rotator(double azimuth, double degreesPerSecond);

    void TurnTo(double heading);   // any number of degrees, taken modulo 360
    void Advance(double seconds);  // turns towards the heading, never past it
    bool Moving() const { return azimuth_ != target_; }
    int Azimuth() const;  // whole degrees, 0 to 359

  private:
    double azimuth_;
    double target_;
    double speed_;
};

}  // namespace tools
