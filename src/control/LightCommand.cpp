#include "LightCommand.h"

#include "LitraController.h"

QCoro::Task<> runLightCommand(LitraController& controller, LightCommand command) {
    switch (command.kind) {
        case LightCommand::Kind::toggle:
            co_await controller.toggle(command.serial);
            break;
        case LightCommand::Kind::on:
            co_await controller.on(command.serial);
            break;
        case LightCommand::Kind::off:
            co_await controller.off(command.serial);
            break;
        case LightCommand::Kind::brightness:
            co_await controller.setBrightness(command.value, command.serial);
            break;
        case LightCommand::Kind::temperature:
            co_await controller.setTemperature(command.value, command.serial);
            break;
        case LightCommand::Kind::refresh:
            break;
    }
}
