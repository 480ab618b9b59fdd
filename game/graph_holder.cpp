#include "graph_holder.h"

#include "zn_graph_resource.h"
#include "zn_sound_resource.h"

DhGraph* GraphHolder::get(int i) const {
    if (graphs_ == nullptr || i < 0 || static_cast<uint32_t>(i) >= graphs_->size()) return nullptr;
    return &graphs_->at(static_cast<uint32_t>(i));
}

void SoundHolder::play(int i, int request, int volume) {
    if (sounds_ == nullptr || i < 0 || static_cast<uint32_t>(i) >= sounds_->size()) return;
    sounds_->setRequest(i, request);
    sounds_->setVolume(i, volume);
}
