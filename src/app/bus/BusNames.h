#pragma once

// Glowdeck on the session bus, as the running one serves it and a verb calls it.
namespace bus {

constexpr const char* serviceName = "org.glowdeck.Glowdeck";
constexpr const char* objectPath = "/org/glowdeck/Glowdeck";
constexpr const char* interfaceName = "org.glowdeck.Glowdeck";
// A light method's error when litra failed; the message is the reason.
constexpr const char* litraFailed = "org.glowdeck.Glowdeck.Error.LitraFailed";

}  // namespace bus
