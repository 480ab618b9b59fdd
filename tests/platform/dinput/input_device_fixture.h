// A fixture for the input-device tests of the platform layer: a clean headless window layer
// with one window (for the cooperative levels), the test input backend with no pads, and an
// initialised version-7 input object. Devices a test makes are released with it.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "platform/core/clock.h"
#include "platform/dinput/dinput.h"
#include "platform/testing/input_test_controls.h"
#include "platform/testing/test_controls.h"
#include "platform/window/window.h"
#include "platform/testing/window_test_controls.h"

class InputDeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetWindowTestControls();
        plat::ResetInputTestControls();
        plat::UseVirtualClock(true);
        const plat::WindowClass c{0, &plat::DefWindowProc, 0, 0, 5, "ZnInputTestClass"};
        ASSERT_NE(plat::RegisterWindowClass(c), 0);
        window_ = plat::CreateWindow("ZnInputTestClass", "input", 0, 0, 0, 0, 64, 64, nullptr);
        ASSERT_NE(window_, 0u);
        ASSERT_EQ(plat::CreateDirectInput(plat::kDirectInputVersion7, &di_), plat::DI_OK);
        ASSERT_EQ(di_->Initialize(plat::kDirectInputVersion7), plat::DI_OK);
    }

    void TearDown() override {
        for (plat::DirectInputDevice* device : devices_) device->Release();
        if (di_ != nullptr) di_->Release();
        plat::ResetInputTestControls();
        plat::ResetWindowTestControls();
        plat::ResetTestControls();
    }

    // A device made, set up with its data format and the given level, and acquired.
    plat::DirectInputDevice* Make(const plat::DiGuid& guid, plat::DiDataFormat format,
                                  uint32_t level = plat::DISCL_NONEXCLUSIVE |
                                                   plat::DISCL_BACKGROUND) {
        plat::DirectInputDevice* device = nullptr;
        EXPECT_EQ(di_->CreateDevice(guid, &device), plat::DI_OK);
        if (device == nullptr) return nullptr;
        devices_.push_back(device);
        EXPECT_EQ(device->SetDataFormat(format), plat::DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(window_, level), plat::DI_OK);
        EXPECT_EQ(device->Acquire(), plat::DI_OK);
        return device;
    }

    plat::DirectInputDevice* MakePad(uint32_t padId,
                                     uint32_t level = plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND) {
        return Make(plat::TestPadInstance(padId), plat::DiDataFormat::Joystick, level);
    }

    plat::WindowHandle window_ = 0;
    plat::DirectInput* di_ = nullptr;
    std::vector<plat::DirectInputDevice*> devices_;
};
