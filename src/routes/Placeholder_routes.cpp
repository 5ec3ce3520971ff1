// placeholder until the first screen of this subsystem lands
namespace nbk::placeholder_routes {}
