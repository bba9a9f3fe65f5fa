// The maker's texts shown in the about box.
#pragma once

constexpr char kMakerCredit[] = "Rhinoceros/OpenNURBS 3DM file export add-in for Solid Edge, made by TALMIR.";
constexpr char kProductVersionText[] = "Version 1.0";
constexpr char kMakerWebAddress[] = "https://www.talmir.example";
