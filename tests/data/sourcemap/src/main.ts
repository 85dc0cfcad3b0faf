import { buildMenu } from "./ui/menu";
import { formatPrice, shout } from "./util/format.js";

interface Item {
  name: string;
  price: number;
}

const items: Item[] = [
  { name: "茶", price: 12.5 },
  { name: "coffee", price: 30 },
];

export function start(root: { textContent: string }): void {
  const menu = buildMenu(items.map((item) => item.name));
  const total = items.reduce((sum, item) => sum + item.price, 0);
  root.textContent = menu.join(" | ") + " = " + formatPrice(total);
  console.log(shout("ready"));
}

start({ textContent: "" });
