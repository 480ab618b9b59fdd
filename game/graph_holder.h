// The world's view of the graph table and of the sound table.
#pragma once

class DhGraph;
class ZnGraphResource;
class ZnSoundResource;

class GraphHolder {
public:
    void set(ZnGraphResource* graphs) { graphs_ = graphs; }
    // Graph slot i; null when there is no table or no such slot.
    DhGraph* get(int i) const;

private:
    ZnGraphResource* graphs_ = nullptr;
};

class SoundHolder {
public:
    void set(ZnSoundResource* sounds) { sounds_ = sounds; }
    // Sets the request and the volume of slot i for the next flush; nothing when there is no
    // table or no such slot.
    void play(int i, int request, int volume);

private:
    ZnSoundResource* sounds_ = nullptr;
};
