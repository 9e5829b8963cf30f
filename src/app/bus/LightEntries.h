#pragma once

#include <QList>
#include <QStringList>
#include <QVariantMap>

#include <vector>

struct LitraDevice;

// One light as the bus and `glowdeck status --json` show it: serial_number, name, on,
// brightness (per cent) and temperature (kelvin), each only when the report has it.
QVariantMap lightEntry(const LitraDevice& device);
QList<QVariantMap> lightEntries(const std::vector<LitraDevice>& devices);

// The lights' labels in the menu, in their order: the name (the serial number, or "Light N",
// where the report has none). Lights of the same name add the end of their serial number, as
// much of it as tells them apart ("Sim Bar (…0002)"), or their place in the list without one:
// a menu on the bus carries no tool tip to tell them apart.
QStringList lightLabels(const std::vector<LitraDevice>& lights);
