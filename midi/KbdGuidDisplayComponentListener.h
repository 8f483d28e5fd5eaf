#pragma once

// Told on the message thread that an incoming note changed its state (note 0 to 127); the tuning editor repaints the
// note's keyboard guide and the octave guide of its pitch class.
class KbdGuidDisplayComponentListener
{
public:
    virtual void noteStateChanged(int note) = 0;

protected:
    ~KbdGuidDisplayComponentListener() = default;
};
