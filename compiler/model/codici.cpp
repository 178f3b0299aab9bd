#include "compiler/model/codici.hpp"

namespace scenario {

std::string_view significato_codice(int32_t codice) {
  switch (codice) {
    case 0: return "no error";
    case 1: return "route length above 1000000 m";
    case 2: return "a kilometric reference has a start or offset that is not a multiple of 50";
    case 3: return "first signal-repetition number is not a multiple of 50";
    case 4: return "second signal-repetition number is not a multiple of 50";
    case 5: return "signal-repetition keyword holds neither 4 nor 9";
    case 6: return "sign board on a cell that is already taken";
    case 7: return "abbattimento entry on a cell that is already taken";
    case 8: return "station position is not a multiple of 50";
    case 9: return "station length is not a multiple of 100";
    case 10: return "too many stations: they would reach the sign texts";
    case 11: return "no free cell for a speed-reduction point before a signal";
    case 12: return "no free cell for a speed-reduction point before a slowdown";
    case 13: return "no free cell for a speed-reduction point inside or after a slowdown";
    case 15: return "position beyond the end of the route";
    case 16: return "signal on a cell that is already taken";
    case 17: return "slowdown warning point on a cell that is already taken";
    case 18: return "slowdown start on a cell that is already taken";
    case 19: return "slowdown end on a cell that is already taken";
    case 20: return "one of the four cells before a slowdown warning point is already taken";
    case 21: return "speed-indicator boards on a cell that is already taken";
    case 22: return "station closer than 350 m to the previous one, or out of order";
    case 24: return "station mark would fall at cell 1 or below";
    case 25: return "run-time failure while reading the description files";
    case 101: return "line description file missing";
    case 102: return "no [generale] section in the line description";
    case 103: return "curve keyword without a class digit, or the track plan passes 1000000 m";
    case 1250: return "the slot for the format numbers is already in use";
    case 1251: return "the slot for the scenario codes is already in use";
    case 201: return "more than 80 mountain stretches";
    case 202: return "more than 81 sign boards: no record left for the sign text";
    case 203: return "curve reaching beyond the end of the track plan";
    case 204: return "gradient outside -100 to 155 per mille";
    case 205: return "gradient lines out of order push past the last cell";
    case 206: return "negative position in the line description";
    case 207: return "mountain stretch ending beyond the route";
    case 301: return "signal too close to the route start: its approach marks would fall before cell 0";
    case 302: return "slowdown cells outside the route";
    case 303: return "abbattimento cell outside the route";
    case 304: return "station marks outside the route";
    case 401: return "finishing pass reached the route's last cell and stopped there";
    case 402: return "route too short to hold cell 1 (negative route length): no binary file written";
    default: return {};
  }
}

}  // namespace scenario
