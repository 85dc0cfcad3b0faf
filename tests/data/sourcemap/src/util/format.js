/* Money and message helpers. */
export function formatPrice(value) {
  return "¥" + value.toFixed(2);
}

export function shout(message) {
  return message.toUpperCase() + "!";
}
