// Plays whole games of the bundled content, for judging its balance: an idle player, and a
// scripted governor that plays as a sensible player would. Used by the quenmar-balance
// program (many seeds, a report) and by the content tests (a few seeds, the shape only).
//
// The governor ("steady governor") decides once a day, before the day passes, and makes at
// most one construction or upgrade a day. It knows the rules and the catalog, not the type
// numbers: every choice is made from the building values, so a change of content changes
// what it builds.
//
//  1. Housekeeping. Food buildings (other than the first building) are switched off while
//     more than four days of food are in store and on again below two days, so the store
//     keeps room for the goods.
//  2. Needs, in this order; for each the option with the lowest cost per unit is taken,
//     counting 60 days of upkeep and wages, among new buildings and upgrades of standing
//     ones, and units beyond what the colony's size calls for count for nothing (a small
//     colony is served by small buildings); only the price must be there:
//       energy      when less than 5 + a tenth of the use is spare;
//       food        when the farms could feed fewer colonists than there are beds, or the
//                   store is under two days of eating and falling;
//       beds        when fewer than 20 beds are left after staffing every building;
//       attraction  when the buildings lack personnel and arrivals would take more than
//                   ten days to close the gap;
//       storage     when the store could not hold four days of food and three days of
//                   raw materials and products.
//     Options within a tenth of the cheapest count as equal; of those the type with fewer
//     buildings standing is built (earthquakes strike at random: the governor spreads).
//  3. Investment. Every new building and upgrade is valued in money per day: the change in
//     what the colony earns by selling products and raw materials within its trade quota
//     (products first, from the raw materials there are), plus the mean income, plus
//     science at what its breakthroughs will pay for the rest of the game, less upkeep,
//     wages for its crew and the energy and beds it uses. Options are compared by what
//     they earn over the coming year (or the days left) after their construction time,
//     per money spent, upkeep during construction included; those within a fifth of the
//     best count as equal and the type with fewer buildings is taken. Raw materials,
//     workshops and quota pay only together, so pairs of options are valued as well, and
//     of a pair the cheaper part is taken first. An option is taken when it leaves a
//     reserve of ten days of upkeep (its own included), and from the 20th of the month
//     that month's wages too. When the best option is too dear and no credit runs, the
//     governor borrows all it may if it pays back within 120 days; otherwise an
//     affordable option earning at least two thirds as much is taken, or it saves.
//  4. The last 20 days. The score counts every standing building at its cost times its
//     upgrade limit and every point of military strength, so money beyond the reserve is
//     turned into score: the affordable type that adds the most score per money spent.
//     Military is built only here: during play a defence only makes raids hit harder.
//  5. Trade. Every day all products, the raw materials beyond one day of the workshops'
//     needs and the food beyond four days of eating are sold, as far as the monthly quota
//     allows.
// Buildings lost to earthquakes are replaced by the same rules.
#pragma once
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace balance {

// kGreedy: a second, independent player ("greedy player"). It reads every role from the
// building values too, but plays otherwise:
//  1. Money-makers are switched off while the colony lacks the hands to run them all (a
//     shortage scales everything down, arrivals too) and on again when hands are spare.
//  2. Needs (energy, food, beds, attraction, storage) are met from the option that gives
//     the most of what is missing per money over 60 days: its price, upkeep and wages,
//     each worker also at the bed it needs and a new building at the site it takes (worth
//     something only once sites grow scarce); what is missing counts what the colony
//     lacks now and what it will lack in 60 days, growing as over the last 60.
//     Attraction is arrivals a day: what is missing is what closes the staff gap in ten
//     days beyond what the colony draws already, plus the day's share of the staff it
//     will want more of over the next 60.
//  3. Otherwise, while every building is staffed, each day the new building or upgrade
//     that returns most per money over its first 60 days of work (fewer near the end),
//     upkeep during construction, wages, energy and the trade it adds counted, valued
//     alone against the colony as it stands: no pairing of raw materials, workshops and
//     quota, but a workshop's missing raw material counts as bought at the day's price
//     within the quota left, and a port's quota at half the raw material price a unit
//     (as the catalog measure counts it) even before there are goods to fill it.
//  4. It keeps a reserve against earthquakes (a tenth of the price of what stands, ten
//     days of upkeep, the month's wages from the 20th), borrows what the best option
//     lacks when no credit runs, and otherwise takes the best option it can afford.
//  5. It builds no military and does not spend for score at the end. It trades as the
//     governor does, and buys the raw material its workshops lack for the next day when
//     the quota leaves room to sell the products.
//
// kDefended: the governor, but keeping a defence of at least 10 points of military
// strength (the weakest raid) and one point per 25 colonists, built as a need after food;
// played only to measure what a defence does in the raids.
enum class Player { kIdle, kGovernor, kDefended, kGreedy };

// What one type did over the games played.
struct TypeTally {
  int built = 0;
  int upgrades = 0;
  int64_t building_days = 0;  // days a building of the type stood (working or not)
  double income = 0;          // money attributed to the type's output
  double invested = 0;        // construction and upgrade prices paid
  double upkeep = 0;          // support costs paid
};

struct RaidTally {
  int raids = 0;
  int repelled = 0;
  int with_military = 0;           // raids on a colony that had a defence
  int repelled_with_military = 0;
  double population_lost = 0;      // sum of casualties / population, over raids not repelled
  double goods_lost = 0;           // sum of the goods' loss in per cent, over raids not repelled
  double population_lost_defended = 0;
  int lost_defended = 0;           // raids not repelled on a colony with a defence
};

struct GameResult {
  uint32_t seed = 0;
  int level = 0;
  Player player = Player::kIdle;
  bool game_over = false;
  bool bankrupt = false;
  int days = 0;
  int32_t money = 0;
  int32_t points = 0;
  int32_t population = 0;
  int32_t buildings = 0;
  // The first day whose stocks ended above the storage capacity, 0 when none did.
  int overfull_day = 0;
  std::map<int, TypeTally> types;  // by type number
  RaidTally raids;
};

// Plays one game with the data beside the executables in `data_dir`; `trace`, when given,
// receives the colony every 15 days.
GameResult PlayGame(const std::string& data_dir, uint32_t seed, int level, Player player,
                    int max_days, std::ostream* trace = nullptr);

// The days over which `TypeReturns` compares what types earn per money, from the day each
// is ordered: long enough for the slowest build to work a few months.
constexpr int kReturnHorizon = 180;

// What a type returns on its own at the opening prices of `level`: a building of it put up
// alone, its construction time, the upkeep during construction and its workers' wages
// counted (energy and beds not). Its inputs are bought at the opening price; every unit
// bought or sold uses a unit of the trade quota, which counts at half the raw material
// price (and the ports earn it). Science counts at the dividends of its breakthroughs from
// a colony with no other science.
struct TypeReturn {
  int id = 0;
  bool earns = false;      // the type makes money: income, goods, quota or science
  bool military = false;
  bool port = false;       // the type makes trade quota
  double payback = -1;     // days from ordering it until it has paid for itself; -1 never (within 1000)
  double net_per_1000 = 0; // mean net a day over its first 120 working days, per 1000 of price
  // Net earned from the day it is ordered until kReturnHorizon days later (upkeep while it
  // is built taken off) per money of its price: the measure types are compared by.
  double per_money = 0;
  double score_per_money = 0;  // what building it on the last day adds to the score per money
};
std::vector<TypeReturn> TypeReturns(const std::string& data_dir, int level);

// The name of type `id` in the catalog of `data_dir` (English).
std::map<int, std::string> TypeNames(const std::string& data_dir);

}  // namespace balance
