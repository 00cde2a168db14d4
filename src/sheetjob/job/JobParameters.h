#pragma once
// The one record that describes a job: which sheet is built, in which
// coordinate system, with which trapezium and graticule, into which folders.

#include <string>

namespace sheetjob::job {

/// Coordinate-system codes of a job.
enum CoordinateSystem : int {
    kSK42 = 1,        ///< "СК-42"
    kSK95 = 2,        ///< "СК-95"
    kGSK2011 = 3,     ///< "ГСК-2011"
    kGSK2011SK42 = 4, ///< "ГСК-2011 / СК-42": laid out in SK-42, written shifted to GSK-2011
};

/// The job. Angles in decimal degrees, longitudes east of Greenwich in 0..360
/// (an east edge may reach or pass 360); minute divisions in whole minutes.
/// Texts (paths) are Windows-1251 bytes.
struct JobParameters {
    int CoordSystem = 0;    ///< 1..4, see CoordinateSystem
    int SetScale = 0;       ///< 1 = 1:1 000 000 set, 0 = 1:200 000 set
    int MapScale = 0;       ///< 0, 1 or 2: the set's own scale or one of two smaller ones
    int yZone = 0;          ///< belt counted from the north: 0 = V (84..88), 8 = N, 21 = A
    int xZone = 0;          ///< zone 1..60; zone n starts at (6n + 174) mod 360
    int SheetNumber = 0;    ///< 1:200 000 sheet 1..36, row by row from the north-west
    int SheetType = 0;      ///< 0 single, 1 double, 2 triple, 3 quadruple
    std::string ResultPath; ///< result folder; after folder preparation the HYPS folder
    std::string FramePath;  ///< FRAME folder, set by folder preparation
    double xFrom = 0.0;     ///< result trapezium: west
    double xTo = 0.0;       ///< east
    double yFrom = 0.0;     ///< south
    double yTo = 0.0;       ///< north
    double MeridianStep = 0.0;
    int xMinute = 0;
    double ParallelStep = 0.0;
    int yMinute = 0;
    double BaseWest = 0.0; ///< base trapezium, as the nomenclature defines it
    double BaseEast = 0.0;
    double BaseSouth = 0.0;
    double BaseNorth = 0.0;
    double BaseMeridianStep = 0.0;
    int BaseXMinute = 0;
    double BaseParallelStep = 0.0;
    int BaseYMinute = 0;
    bool SubSheetFrames = false; ///< build the 1:50 000 and 1:25 000 frames
    int Status = 0;              ///< outcome of the stage that ran last; 0 is success
};

/// Base trapezium and default graticule of a sheet: reads SetScale, yZone, xZone,
/// SheetNumber and SheetType, writes the eight Base* fields. Does not validate
/// its inputs and cannot fail.
void computeBaseParameters(JobParameters& job);

/// Copies the base trapezium and graticule into the result fields (xFrom .. yMinute).
void useBaseAsResult(JobParameters& job);

} // namespace sheetjob::job
