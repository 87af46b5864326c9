// The platform in use, chosen once at run time: the program's SelectPlatform call, else
// VANTREL_PLATFORM from the environment, else x11 where a display answers and headless
// otherwise. Each call of backend_calls.h goes to the chosen platform's definition through its
// table; the tables are made from that list.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "vantrel/platform/common/backend_calls.h"
#include "vantrel/platform/common/gdi_objects.h"
#ifdef VANTREL_WITH_X11
#include "vantrel/platform/x11/x11_platform.h"
#endif

// The backends' definitions, declared with the seam's own types.
#define VANTREL_DECLARE_CALL(NAME, PARAMETERS) decltype(platform::NAME) NAME;
#ifdef VANTREL_WITH_X11
namespace vantrel::x11 {
VANTREL_BACKEND_CALLS(VANTREL_DECLARE_CALL)
} // namespace vantrel::x11
#endif
namespace vantrel::headless {
VANTREL_BACKEND_CALLS(VANTREL_DECLARE_CALL)
} // namespace vantrel::headless
#undef VANTREL_DECLARE_CALL

namespace vantrel::common {
namespace {

#ifdef VANTREL_WITH_X11
#define VANTREL_X11_ENTRY(NAME, PARAMETERS) .NAME = x11::NAME,
const backend X11 = {.name = "x11", VANTREL_BACKEND_CALLS(VANTREL_X11_ENTRY)};
#undef VANTREL_X11_ENTRY
#endif
#define VANTREL_HEADLESS_ENTRY(NAME, PARAMETERS) .NAME = headless::NAME,
const backend HEADLESS = {.name = "headless", VANTREL_BACKEND_CALLS(VANTREL_HEADLESS_ENTRY)};
#undef VANTREL_HEADLESS_ENTRY

const backend *const BACKENDS[] = {
#ifdef VANTREL_WITH_X11
    &X11,
#endif
    &HEADLESS};

const backend *chosen = nullptr;

const backend *named(PCHAR name) {
  for (const backend *b : BACKENDS)
    if (name && std::strcmp(name, b->name) == 0) return b;
  return nullptr;
}

std::string names() {
  std::string list;
  for (const backend *b : BACKENDS)
    list += (list.empty() ? "" : ", ") + std::string(b->name);
  return list;
}

// Whether platform B can show windows now: x11 needs a display that answers.
bool usable(const backend &b) {
#ifdef VANTREL_WITH_X11
  if (&b == &X11) return x11::display_available();
#endif
  return &b == &HEADLESS;
}

const backend *choose() {
  const char *wanted = std::getenv("VANTREL_PLATFORM");
  if (wanted && *wanted) {
    // Asked for by name, it is taken even where it cannot work, so that its own failure (no
    // display, say) is what the program reports.
    if (const backend *b = named(wanted)) return b;
    std::fprintf(stderr, "VANTREL_PLATFORM=%s: this build has no such platform (%s)\n", wanted,
                 names().c_str());
  }
  for (const backend *b : BACKENDS)
    if (usable(*b)) return b;
  return &HEADLESS;
}

const backend &in_use() {
  if (!chosen) chosen = choose();
  return *chosen;
}

// What the forwarding definitions below need of a call's type.
template <class CALL> struct call_type;
template <class RESULT, class... PARAMETER> struct call_type<RESULT(PARAMETER...)> {
  using result = RESULT;
  static constexpr int count = sizeof...(PARAMETER);
  template <int I> using parameter = std::tuple_element_t<I, std::tuple<PARAMETER...>>;
};
template <class CALL> using result_of = typename call_type<CALL>::result;
template <class CALL, int I> using parameter_of = typename call_type<CALL>::template parameter<I>;
template <class CALL> constexpr int parameter_count = call_type<CALL>::count;

} // namespace

bool use_backend(PCHAR name) {
  const backend *b = named(name);
  if (b) chosen = b;
  return b != nullptr;
}

} // namespace vantrel::common

// platform::NAME(a0, a1 ...) hands its arguments to the chosen platform's NAME.
#define VANTREL_P(NAME, I) common::parameter_of<decltype(NAME), I> a##I
#define VANTREL_PARAMETERS_0(NAME)
#define VANTREL_PARAMETERS_1(NAME) VANTREL_P(NAME, 0)
#define VANTREL_PARAMETERS_2(NAME) VANTREL_PARAMETERS_1(NAME), VANTREL_P(NAME, 1)
#define VANTREL_PARAMETERS_3(NAME) VANTREL_PARAMETERS_2(NAME), VANTREL_P(NAME, 2)
#define VANTREL_PARAMETERS_4(NAME) VANTREL_PARAMETERS_3(NAME), VANTREL_P(NAME, 3)
#define VANTREL_PARAMETERS_5(NAME) VANTREL_PARAMETERS_4(NAME), VANTREL_P(NAME, 4)
#define VANTREL_PARAMETERS_6(NAME) VANTREL_PARAMETERS_5(NAME), VANTREL_P(NAME, 5)
#define VANTREL_PARAMETERS_7(NAME) VANTREL_PARAMETERS_6(NAME), VANTREL_P(NAME, 6)
#define VANTREL_PARAMETERS_8(NAME) VANTREL_PARAMETERS_7(NAME), VANTREL_P(NAME, 7)
#define VANTREL_PARAMETERS_9(NAME) VANTREL_PARAMETERS_8(NAME), VANTREL_P(NAME, 8)
#define VANTREL_PARAMETERS_10(NAME) VANTREL_PARAMETERS_9(NAME), VANTREL_P(NAME, 9)
#define VANTREL_PARAMETERS_11(NAME) VANTREL_PARAMETERS_10(NAME), VANTREL_P(NAME, 10)
#define VANTREL_PARAMETERS_12(NAME) VANTREL_PARAMETERS_11(NAME), VANTREL_P(NAME, 11)
#define VANTREL_PARAMETERS_13(NAME) VANTREL_PARAMETERS_12(NAME), VANTREL_P(NAME, 12)
#define VANTREL_PARAMETERS_14(NAME) VANTREL_PARAMETERS_13(NAME), VANTREL_P(NAME, 13)
#define VANTREL_ARGUMENTS_0
#define VANTREL_ARGUMENTS_1 a0
#define VANTREL_ARGUMENTS_2 VANTREL_ARGUMENTS_1, a1
#define VANTREL_ARGUMENTS_3 VANTREL_ARGUMENTS_2, a2
#define VANTREL_ARGUMENTS_4 VANTREL_ARGUMENTS_3, a3
#define VANTREL_ARGUMENTS_5 VANTREL_ARGUMENTS_4, a4
#define VANTREL_ARGUMENTS_6 VANTREL_ARGUMENTS_5, a5
#define VANTREL_ARGUMENTS_7 VANTREL_ARGUMENTS_6, a6
#define VANTREL_ARGUMENTS_8 VANTREL_ARGUMENTS_7, a7
#define VANTREL_ARGUMENTS_9 VANTREL_ARGUMENTS_8, a8
#define VANTREL_ARGUMENTS_10 VANTREL_ARGUMENTS_9, a9
#define VANTREL_ARGUMENTS_11 VANTREL_ARGUMENTS_10, a10
#define VANTREL_ARGUMENTS_12 VANTREL_ARGUMENTS_11, a11
#define VANTREL_ARGUMENTS_13 VANTREL_ARGUMENTS_12, a12
#define VANTREL_ARGUMENTS_14 VANTREL_ARGUMENTS_13, a13
#define VANTREL_FORWARD(NAME, PARAMETERS)                                                          \
  static_assert(common::parameter_count<decltype(NAME)> == PARAMETERS,                             \
                #NAME " has another number of parameters in platform.h");                          \
  common::result_of<decltype(NAME)> NAME(VANTREL_PARAMETERS_##PARAMETERS(NAME)) {                  \
    return common::in_use().NAME(VANTREL_ARGUMENTS_##PARAMETERS);                                  \
  }

namespace vantrel::platform {

VANTREL_BACKEND_CALLS(VANTREL_FORWARD)

BOOLEAN SelectPlatform(PCHAR NAME) {
  const common::backend *b = common::named(NAME);
  std::string why;
  if (!b)
    why = "this build has no platform named '" + std::string(NAME ? NAME : "") + "' (" +
          common::names() + ")";
  else if (common::chosen && common::chosen != b)
    why = std::string("the platform is chosen already: ") + common::chosen->name;
  else if (!common::chosen && !common::usable(*b))
    why = std::string(NAME) + " cannot be used here: no X display answers";
  if (!why.empty()) {
    common::set_last_error(common::ERROR_INVALID_PARAMETER, why);
    return false;
  }
  common::chosen = b;
  return true;
}

PCHAR PlatformName() { return common::in_use().name; }

} // namespace vantrel::platform
