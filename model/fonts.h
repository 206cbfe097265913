#pragma once

// The program names Windows fonts ("Microsoft YaHei UI", "SimSun"). Where
// they are missing, map them to installed CJK fonts so Chinese renders.
void installFontSubstitutions();
