# Sourced by the scripts that build inside the checkout (run.sh, test.sh,
# package.sh, fuzz.sh). Root building in a checkout that another user owns
# would leave root's files there, and the owner's next build would fail on
# them; only installing packages needs root, so such a run is refused.
# CI, where root owns its own clone, is unaffected.

# The one command that needs root, as every script says it.
readonly VELMORA_ROOT_COMMAND="su -c 'scripts/install-deps.sh test'"

# refuse_root_in_others_checkout CHECKOUT
refuse_root_in_others_checkout() {
    local owner
    [ "$(id -u)" -eq 0 ] || return 0
    owner=$(stat -c %u "$1")
    [ "$owner" -ne 0 ] || return 0
    owner=$(stat -c %U "$1")
    echo "$(basename "$0"): this checkout belongs to $owner: run $(basename "$0") as $owner, not as root (only installing packages needs root: $VELMORA_ROOT_COMMAND)" >&2
    exit 1
}
