// A priced job: stitches, pieces and extras, the price per piece for each of the nine quantity
// tiers, and the texts made of it — the order's note, a saved calculation and the report.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "client/screens/pricing/price_settings.h"

namespace ksv::client::pricing {

// Lower bounds of the quantity tiers 1..8 and the end of tier 8: tier 0 is 0..11 pieces.
inline constexpr std::array<int32_t, kTiers> kTierBound = {12,   100,  300,  500,   1000,
                                                           2000, 3000, 5000, 100000};
// Upper bounds (exclusive) of the stitch classes; class 3 also takes everything above.
inline constexpr std::array<int32_t, kClasses> kClassBound = {8501, 14501, 19501, 1000000};
inline constexpr std::array<const char*, kExtras> kExtraName = {
    "Bunda 3v1", "Kovova nit", "Aplikace mala", "Aplikace velka", "Na zada", "Special.baleni"};
inline constexpr int kSmallAppliques = 2, kLargeAppliques = 3;
inline constexpr size_t kDescriptionChars = 59;

struct Job {
  int32_t stitches = 0;
  int32_t pieces = 0;
  std::string description;
  std::array<bool, kExtras> extras{};
  int32_t small_appliques = 0;
  int32_t large_appliques = 0;
  bool minimum = false;
  bool special_minimum = false;
};

int stitch_class(int32_t stitches);
// The tier the pieces fall into; nothing below 0 or from 100000 pieces on.
std::optional<int> tier_of(int32_t pieces);
// "0..11", "12..99", … "5000..99999".
std::string tier_range(int tier);

std::array<double, kTiers> prices(const Job& job, const PriceSettings& s);

// A price as shown and stored: two decimals with a comma, "25,00".
std::string money(double price);

// The order's two notes with the job added: VELIKOST + ";" + description and KALKULACE + ";" +
// pieces + "=" + the tier's price. Nothing when the pieces fall in no tier.
struct OrderNotes {
  std::string size, calculation;
};
std::optional<OrderNotes> added_to_order(const Job& job, const PriceSettings& s,
                                         const std::string& size, const std::string& calculation);

// A saved calculation: one key=value line for each part of the job.
std::string saved_text(const Job& job);
// The job read back; keys it does not know are skipped, values out of range refused.
std::optional<Job> job_from_text(const std::string& text);

// The report: the job, its extras and the tier table between "---" lines.
std::string report_text(const Job& job, const PriceSettings& s);

}  // namespace ksv::client::pricing
