// Joypad effects: recorded only. Starting and stopping change the record that the test
// controls show; nothing vibrates.
#include <algorithm>

#include "platform/dinput/dinput_internal.h"

namespace plat::dinput {

namespace {

class Effect final : public DirectInputEffect {
public:
    explicit Effect(std::shared_ptr<EffectRecord> record) : record_(std::move(record)) {}

    // An effect plays only on a device acquired exclusively, as force feedback needs.
    DiResult Start(uint32_t iterations, uint32_t /*flags*/) override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        DeviceRecord* device = record_->device;
        if (device == nullptr) return DIERR_NOTINITIALIZED;
        if (!device->acquired || (device->cooperativeFlags & DISCL_EXCLUSIVE) == 0) {
            return DIERR_NOTEXCLUSIVEACQUIRED;
        }
        record_->view.playing = true;
        record_->view.starts += 1;
        record_->view.lastIterations = iterations;
        return DI_OK;
    }

    DiResult Stop() override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (record_->device == nullptr) return DIERR_NOTINITIALIZED;
        record_->view.playing = false;
        record_->view.stops += 1;
        return DI_OK;
    }

    uint32_t Release() override {
        {
            std::lock_guard<std::mutex> hold(DeviceMutex());
            if (DeviceRecord* device = record_->device) {
                auto& effects = device->effects;
                effects.erase(std::remove(effects.begin(), effects.end(), record_), effects.end());
                record_->device = nullptr;
            }
        }
        delete this;
        return 0;
    }

private:
    std::shared_ptr<EffectRecord> record_;
};

}  // namespace

DirectInputEffect* NewEffect(const std::shared_ptr<EffectRecord>& record) {
    return new Effect(record);
}

}  // namespace plat::dinput
